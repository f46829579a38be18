// The OpenGL canvas that hosts the view: it turns toolkit events into calls on CTobrinView and
// gives the view what it needs of its window (capture, repaints, the context).
#pragma once

#include <wx/glcanvas.h>

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

  // Creates the view's context and scene; the canvas must be shown. False when there is no
  // usable OpenGL (the view then stays uncreated and the canvas draws nothing).
  bool CreateScene();

  CTobrinView& View() { return *m_view; }

  // Physical pixels per logical pixel: the view works in the pixels OpenGL draws.
  double PixelScale() const;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnMouse(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnEraseBackground(wxEraseEvent&) {}

  wxPoint Physical(const wxPoint& logical) const;
  void ApplySize();

  CanvasHost m_host;
  std::unique_ptr<CTobrinView> m_view;
  wxPoint m_lastPointer;  // where the view last saw the pointer, physical pixels

  wxDECLARE_EVENT_TABLE();
};
