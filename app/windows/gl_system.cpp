// The toolkit's headers first: they include <windows.h> in the order Windows' headers need.
#include "app/gl_system.h"

#include <windows.h>

namespace {

// A logical palette selected into the canvas's device context; deselected and deleted with
// this object.
class WglPalette : public HostPalette {
 public:
  WglPalette(wxGLCanvas& canvas, HPALETTE palette) : m_canvas(canvas), m_palette(palette) {}
  ~WglPalette() override {
    SelectPalette(m_canvas.GetHDC(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    DeleteObject(m_palette);
  }
  WglPalette(const WglPalette&) = delete;
  WglPalette& operator=(const WglPalette&) = delete;

  int Realize() override {
    const HDC dc = m_canvas.GetHDC();
    UnrealizeObject(m_palette);
    SelectPalette(dc, m_palette, FALSE);
    const UINT changed = RealizePalette(dc);
    return changed == GDI_ERROR ? 0 : static_cast<int>(changed);
  }
  void UpdateColors() override { ::UpdateColors(m_canvas.GetHDC()); }

 private:
  wxGLCanvas& m_canvas;
  HPALETTE m_palette;
};

}  // namespace

wxString OpenGLMissingReason(const wxGLAttributes&) {
  // wxMSW would answer with a hidden window and a context made and thrown away, which costs a
  // sixth of the start; the canvas's own pixel format and context tell the same a moment later.
  return wxString();
}

std::unique_ptr<wxGLContext> CreateCurrentContext(wxGLCanvas& canvas) {
  // Without attributes wx makes a compatibility-profile context: selection and feedback work.
  auto context = std::make_unique<wxGLContext>(&canvas);
  if (!context->IsOK() || !canvas.SetCurrent(*context)) return nullptr;
  return context;
}

bool SurfaceMayLagResize() {
  // Wine draws OpenGL into an X window of its own and resizes it over another X connection than
  // the one OpenGL draws over: the X server has the new size only after the paint that follows
  // the size change, which draws at the old size (the figure cut off, or out of sight), and by
  // the next idle time. Windows resizes the surface with the window.
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void ReleaseCurrentContext() {
  wglMakeCurrent(nullptr, nullptr);
}

PixelFormatDescription DescribeWindowPixelFormat(wxGLCanvas& canvas) {
  PixelFormatDescription format;
  const HDC dc = canvas.GetHDC();
  PIXELFORMATDESCRIPTOR pfd = {};
  const int index = GetPixelFormat(dc);
  if (index == 0 || DescribePixelFormat(dc, index, sizeof pfd, &pfd) == 0) return format;
  format.flags = pfd.dwFlags;
  format.colourBits = pfd.cColorBits;
  format.redBits = pfd.cRedBits;
  format.redShift = pfd.cRedShift;
  format.greenBits = pfd.cGreenBits;
  format.greenShift = pfd.cGreenShift;
  format.blueBits = pfd.cBlueBits;
  format.blueShift = pfd.cBlueShift;
  return format;
}

std::unique_ptr<HostPalette> CreateWindowPalette(wxGLCanvas& canvas,
                                                 const std::vector<PaletteEntry>& entries) {
  if (entries.empty()) return nullptr;
  // LOGPALETTE ends in a one-entry array that the real entries run past.
  std::vector<unsigned char> storage(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = PALETTE_VERSION;
  logical->palNumEntries = static_cast<WORD>(entries.size());
  auto* out = reinterpret_cast<PALETTEENTRY*>(storage.data() + offsetof(LOGPALETTE, palPalEntry));
  for (size_t i = 0; i < entries.size(); ++i) {
    out[i] = {entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
  }
  const HPALETTE palette = CreatePalette(logical);
  if (palette == nullptr) return nullptr;
  SelectPalette(canvas.GetHDC(), palette, FALSE);
  return std::make_unique<WglPalette>(canvas, palette);
}
