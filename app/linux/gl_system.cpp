#include <GL/gl.h>
#include <GL/glx.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include "app/gl_system.h"

namespace {

// X errors raised while it lives are noted instead of ending the program: a display whose GLX
// refuses the context (a remote display that offers only indirect rendering, which servers
// turn off) answers with an error, on which the toolkit's handler would exit on the spot.
class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display) : m_display(display) {
    XSync(m_display, False);
    s_failed = false;
    m_previous = XSetErrorHandler(&Note);
  }
  ~XErrorTrap() {
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
  }
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  bool Failed() const {
    XSync(m_display, False);
    return s_failed;
  }

 private:
  static int Note(Display*, XErrorEvent*) {
    s_failed = true;
    return 0;
  }

  static inline bool s_failed = false;
  Display* m_display;
  int (*m_previous)(Display*, XErrorEvent*) = nullptr;
};

}  // namespace

wxString OpenGLMissingReason(const wxGLAttributes& format) {
  // Without GLX the toolkit's own OpenGL queries fail on assertions: the extension first.
  int glxError = 0, glxEvent = 0;
  Display* display = wxGetX11Display();
  if (display == nullptr || !glXQueryExtension(display, &glxError, &glxEvent)) {
    return _("This display offers no OpenGL (the X server has no GLX extension).");
  }
  if (!wxGLCanvas::IsDisplaySupported(format)) {
    return _("This display offers no OpenGL with double buffering and a depth buffer.");
  }
  return wxString();
}

std::unique_ptr<wxGLContext> CreateCurrentContext(wxGLCanvas& canvas) {
  XErrorTrap trap(wxGetX11Display());
  // Without attributes wx makes a compatibility-profile context: selection and feedback work.
  auto context = std::make_unique<wxGLContext>(&canvas);
  if (!context->IsOK() || trap.Failed() || !canvas.SetCurrent(*context) || trap.Failed()) {
    return nullptr;
  }
  return context;
}

bool SurfaceMayLagResize() {
  // The drawable is the window itself, resized on the connection GLX draws on.
  return false;
}

void ReleaseCurrentContext() {
  if (Display* display = glXGetCurrentDisplay()) glXMakeCurrent(display, None, nullptr);
}

PixelFormatDescription DescribeWindowPixelFormat(wxGLCanvas&) {
  // GTK 3 draws only on true-colour visuals: no palette is ever needed.
  PixelFormatDescription format;
  format.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  GLint red = 0, green = 0, blue = 0;
  glGetIntegerv(GL_RED_BITS, &red);
  glGetIntegerv(GL_GREEN_BITS, &green);
  glGetIntegerv(GL_BLUE_BITS, &blue);
  format.redBits = red;
  format.greenBits = green;
  format.blueBits = blue;
  format.colourBits = red + green + blue;
  return format;
}

std::unique_ptr<HostPalette> CreateWindowPalette(wxGLCanvas&, const std::vector<PaletteEntry>&) {
  return nullptr;  // no indexed-colour windows here
}
