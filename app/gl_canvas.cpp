#include "app/gl_canvas.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "app/accessible_text.h"
#include "app/gl_system.h"

namespace {

// The window's context, released and deleted with this object.
class WxContext : public GLContext {
 public:
  WxContext(wxGLCanvas& canvas, std::unique_ptr<wxGLContext> context)
      : m_canvas(canvas), m_context(std::move(context)) {}
  ~WxContext() override {
    ReleaseCurrentContext();
    m_context.reset();
  }
  bool MakeCurrent() override { return m_canvas.SetCurrent(*m_context); }
  void SwapBuffers() override { m_canvas.SwapBuffers(); }

 private:
  wxGLCanvas& m_canvas;
  std::unique_ptr<wxGLContext> m_context;
};

}  // namespace

void CanvasHost::CaptureMouse() {
  if (!m_canvas.HasCapture()) m_canvas.CaptureMouse();
}

void CanvasHost::ReleaseMouse() {
  if (m_canvas.HasCapture()) m_canvas.ReleaseMouse();
}

void CanvasHost::RequestRepaint() {
  m_canvas.Refresh(false);
}

std::unique_ptr<GLContext> CanvasHost::CreateContext() {
  if (!m_canvas.IsShownOnScreen()) return nullptr;
  std::unique_ptr<wxGLContext> context = CreateCurrentContext(m_canvas);
  // A context that cannot draw (no GL renderer behind it) is no context.
  if (context == nullptr || glGetString(GL_VERSION) == nullptr) return nullptr;
  return std::make_unique<WxContext>(m_canvas, std::move(context));
}

PixelFormatDescription CanvasHost::DescribePixelFormat() {
  return DescribeWindowPixelFormat(m_canvas);
}

std::unique_ptr<HostPalette> CanvasHost::CreatePalette(const std::vector<PaletteEntry>& entries) {
  return CreateWindowPalette(m_canvas, entries);
}

wxBEGIN_EVENT_TABLE(CTobrinCanvas, wxGLCanvas)
  EVT_PAINT(CTobrinCanvas::OnPaint)
  EVT_SIZE(CTobrinCanvas::OnSize)
  EVT_ERASE_BACKGROUND(CTobrinCanvas::OnEraseBackground)
  EVT_LEFT_DOWN(CTobrinCanvas::OnMouse)
  EVT_LEFT_UP(CTobrinCanvas::OnMouse)
  EVT_LEFT_DCLICK(CTobrinCanvas::OnMouse)
  EVT_RIGHT_DOWN(CTobrinCanvas::OnMouse)
  EVT_RIGHT_UP(CTobrinCanvas::OnMouse)
  EVT_MOTION(CTobrinCanvas::OnMouse)
  EVT_MOUSE_CAPTURE_LOST(CTobrinCanvas::OnCaptureLost)
  EVT_KEY_DOWN(CTobrinCanvas::OnKeyDown)
  EVT_QUERY_NEW_PALETTE(CTobrinCanvas::OnQueryNewPalette)
  EVT_PALETTE_CHANGED(CTobrinCanvas::OnPaletteChanged)
wxEND_EVENT_TABLE()

wxGLAttributes CTobrinCanvas::PixelFormat() {
  wxGLAttributes attributes;
  attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).EndList();
  return attributes;
}

CTobrinCanvas::CTobrinCanvas(wxWindow* parent, const wxGLAttributes& attributes)
    : wxGLCanvas(parent, attributes, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 // Arrow keys and Space are the canvas's own, not focus navigation.
                 wxFULL_REPAINT_ON_RESIZE | wxCLIP_CHILDREN | wxCLIP_SIBLINGS | wxWANTS_CHARS),
      m_host(*this),
      m_view(std::make_unique<CTobrinView>(m_host)),
      m_surfaceMayLag(SurfaceMayLagResize()) {
  // Every paint draws the whole frame, so the toolkit need not clear the window first.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (m_surfaceMayLag) Bind(wxEVT_IDLE, &CTobrinCanvas::OnIdleAfterResize, this);
}

CTobrinCanvas::~CTobrinCanvas() {
  if (HasCapture()) ReleaseMouse();
  m_view.reset();
}

void CTobrinCanvas::CreateSceneWhenShown(std::function<void(bool)> done) {
  m_sceneDone = std::move(done);
  if (IsShownOnScreen()) Refresh(false);  // already mapped: a paint is on its way
}

void CTobrinCanvas::CreateScene() {
  // Told once, and cleared first: the handler may close the window.
  const std::function<void(bool)> done = std::move(m_sceneDone);
  m_sceneDone = nullptr;
  const bool ok = m_view->OnCreate() == 0;
  if (ok) {
    ApplySize();
    SetFocus();  // the keys work from the start
  }
  done(ok);
}

double CTobrinCanvas::PixelScale() const {
  return GetContentScaleFactor();
}

wxPoint CTobrinCanvas::Physical(const wxPoint& logical) const {
  const double scale = PixelScale();
  return wxPoint(static_cast<int>(std::lround(logical.x * scale)),
                 static_cast<int>(std::lround(logical.y * scale)));
}

void CTobrinCanvas::ApplySize() {
  const wxPoint size = Physical(wxPoint(GetClientSize().x, GetClientSize().y));
  m_view->OnSize(size.x, size.y);
}

void CTobrinCanvas::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);  // validates the area, also when nothing is drawn
  if (m_sceneDone && IsShownOnScreen()) CreateScene();
  m_view->OnDraw();
  // Every change to the figure or the mode is followed by a paint.
  UpdateAccessibleText();
}

void CTobrinCanvas::UpdateAccessibleText() {
  const wxString description = wxString::FromUTF8(m_view->Description());
  if (description == m_description) return;
  m_description = description;
  SetAccessibleText(*this, wxGetTranslation(ACCESSIBLE_NAME), description);
}

void CTobrinCanvas::OnSize(wxSizeEvent& event) {
  event.Skip();
  ApplySize();
  Refresh(false);  // a resized area is drawn whole
  m_repaintWhenIdle = m_surfaceMayLag;
}

void CTobrinCanvas::OnIdleAfterResize(wxIdleEvent& event) {
  event.Skip();
  // By now the system has had its turn at its own events, the surface's new size among them.
  if (!m_repaintWhenIdle) return;
  m_repaintWhenIdle = false;
  Refresh(false);
}

bool CTobrinCanvas::IsSecondPress(const wxMouseEvent& event) {
  if (event.GetEventType() == wxEVT_LEFT_DCLICK) {
    m_firstPress.open = false;  // the pair is complete: the next press begins another
    return true;
  }
  const FirstPress first = m_firstPress;
  const wxPoint at = event.GetPosition();
  const int time = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, this);
  // Timestamps wrap around, so the difference is taken in their own unsigned width.
  const auto elapsed = static_cast<std::uint32_t>(event.GetTimestamp() - first.time);
  const bool second =
      first.open && time > 0 && elapsed <= static_cast<std::uint32_t>(time) &&
      2 * std::abs(at.x - first.at.x) <= wxSystemSettings::GetMetric(wxSYS_DCLICK_X, this) &&
      2 * std::abs(at.y - first.at.y) <= wxSystemSettings::GetMetric(wxSYS_DCLICK_Y, this);
  m_firstPress = {event.GetTimestamp(), at, !second};
  return second;
}

void CTobrinCanvas::OnMouse(wxMouseEvent& event) {
  event.Skip();  // and on to the default handling
  const wxEventType type = event.GetEventType();
  if (type == wxEVT_LEFT_DOWN || type == wxEVT_RIGHT_DOWN) SetFocus();
  if (!m_view->IsCreated()) return;
  if ((type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK) && IsSecondPress(event)) return;
  const wxPoint p = Physical(event.GetPosition());
  // GTK merges pointer motion into one event per frame, and may drop the last one when a
  // button is released in the same frame. The pointer did travel to where it was released:
  // the view sees that move before the release, so the drag's last stretch is not lost.
  if ((type == wxEVT_LEFT_UP || type == wxEVT_RIGHT_UP) && p != m_lastPointer) {
    m_view->OnMouseMove(p.x, p.y);
  }
  m_lastPointer = p;
  if (type == wxEVT_LEFT_DOWN) {
    m_view->OnLButtonDown(p.x, p.y);
  } else if (type == wxEVT_LEFT_UP) {
    m_view->OnLButtonUp(p.x, p.y);
  } else if (type == wxEVT_RIGHT_DOWN) {
    m_view->OnRButtonDown(p.x, p.y);
  } else if (type == wxEVT_RIGHT_UP) {
    m_view->OnRButtonUp(p.x, p.y);
  } else if (type == wxEVT_MOTION) {
    m_view->OnMouseMove(p.x, p.y);
  }
}

void CTobrinCanvas::OnCaptureLost(wxMouseCaptureLostEvent&) {
  m_view->OnCaptureLost();
}

// Only displays with indexed colour send these, and only Windows has such displays.
void CTobrinCanvas::OnQueryNewPalette(wxQueryNewPaletteEvent& event) {
  event.SetPaletteRealized(m_view->OnQueryNewPalette() != 0);
}

void CTobrinCanvas::OnPaletteChanged(wxPaletteChangedEvent& event) {
  m_view->OnPaletteChanged(event.GetChangedWindow() == this);
}

namespace {

// The view's key for a toolkit key code, the keypad's included; false for any other key.
bool ViewKeyOf(int code, ViewKey& key) {
  switch (code) {
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
      key = KEY_LEFT;
      return true;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
      key = KEY_RIGHT;
      return true;
    case WXK_UP:
    case WXK_NUMPAD_UP:
      key = KEY_UP;
      return true;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
      key = KEY_DOWN;
      return true;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
      key = KEY_PAGE_UP;
      return true;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
      key = KEY_PAGE_DOWN;
      return true;
    case WXK_SPACE:
    case WXK_NUMPAD_SPACE:
      key = KEY_SPACE;
      return true;
    default:
      return false;
  }
}

}  // namespace

void CTobrinCanvas::OnKeyDown(wxKeyEvent& event) {
  // Keys with Ctrl, Alt or Meta belong to the menus and accelerators, as does every key the
  // view does not use in its mode. A held key repeats as presses; each asks for a repaint,
  // and the toolkit merges those, so the window never falls behind.
  const int modifiers = event.GetModifiers();
  ViewKey key = KEY_SPACE;
  const bool handled = m_view->IsCreated() && (modifiers & ~wxMOD_SHIFT) == 0 &&
                       ViewKeyOf(event.GetKeyCode(), key) &&
                       m_view->OnKeyDown(key, (modifiers & wxMOD_SHIFT) != 0);
  if (!handled) event.Skip();
}
