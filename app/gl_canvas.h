// The OpenGL canvas that hosts the view: it turns toolkit events into calls on CTobrinView and
// gives the view what it needs of its window (capture, repaints, the context).
#pragma once

#include <wx/glcanvas.h>
#include <wx/translation.h>

#include <functional>
#include <memory>

#include "view/tobrin_view.h"
#include "view/view_host.h"

class CTobrinCanvas;

// ViewHost over the canvas. Kept apart from the canvas, whose own CaptureMouse and
// ReleaseMouse have other contracts (wx asserts on a second capture or a release without one).
class CanvasHost : public ViewHost {
 public:
  explicit CanvasHost(CTobrinCanvas& canvas) : m_canvas(canvas) {}
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void RequestRepaint() override;
  std::unique_ptr<GLContext> CreateContext() override;
  PixelFormatDescription DescribePixelFormat() override;
  std::unique_ptr<HostPalette> CreatePalette(const std::vector<PaletteEntry>& entries) override;

 private:
  CTobrinCanvas& m_canvas;
};

class CTobrinCanvas : public wxGLCanvas {
 public:
  // The pixel format the viewer asks for: double-buffered RGBA with a 24-bit depth buffer and
  // no multisampling.
  static wxGLAttributes PixelFormat();

  CTobrinCanvas(wxWindow* parent, const wxGLAttributes& attributes);
  ~CTobrinCanvas() override;

  // The view's context and scene are made at the first paint, when the window is really on
  // screen: under a window manager that comes some time after the frame is shown. Until then
  // nothing is drawn and the view sees no mouse event. `done` is told once whether it worked;
  // false means the window is there but no OpenGL context can be made current on it.
  void CreateSceneWhenShown(std::function<void(bool ok)> done);

  CTobrinView& View() { return *m_view; }

  // What screen readers call the drawing area.
  static constexpr const char* ACCESSIBLE_NAME = wxTRANSLATE("Tobrin figure");

  // Physical pixels per logical pixel: the view works in the pixels OpenGL draws.
  double PixelScale() const;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnIdleAfterResize(wxIdleEvent& event);
  void OnMouse(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnQueryNewPalette(wxQueryNewPaletteEvent& event);
  void OnPaletteChanged(wxPaletteChangedEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void UpdateAccessibleText();
  void OnEraseBackground(wxEraseEvent&) {}

  // Whether a left press is the second of a double click, which the view never gets: the
  // toolkit sends that press as a double-click event, but under GTK on a busy machine sometimes
  // as a plain press too (its double-click event not yet queued behind the press when the
  // toolkit looks). Such a press, within the system's double-click time and distance of a first
  // press, is told apart here.
  bool IsSecondPress(const wxMouseEvent& event);

  wxPoint Physical(const wxPoint& logical) const;
  void ApplySize();
  void CreateScene();

  CanvasHost m_host;
  std::unique_ptr<CTobrinView> m_view;
  std::function<void(bool)> m_sceneDone;  // set while the scene waits for the first paint
  wxPoint m_lastPointer;                  // where the view last saw the pointer, physical pixels
  // The last left press that may begin a double click (its time in the toolkit's milliseconds
  // and place), while one may still follow.
  struct FirstPress {
    long time = 0;
    wxPoint at;
    bool open = false;
  } m_firstPress;
  wxString m_description;          // the accessible description last given
  const bool m_surfaceMayLag;      // see SurfaceMayLagResize
  bool m_repaintWhenIdle = false;  // resized since the last idle time, where it may lag

  wxDECLARE_EVENT_TABLE();
};
