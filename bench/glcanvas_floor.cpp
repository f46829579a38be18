// The toolkit's floor for the desktop measurements: the least a wxWidgets program with an
// OpenGL window does. A 500 x 500 frame holding a wxGLCanvas with the viewer's pixel format
// (RGBA, double-buffered, 24-bit depth) that clears and swaps on every paint.
//
// Built a second time with TOBRIN_FLOOR_DRAWS_FIGURE, the same window draws the figure as the
// viewer does (fixed state, cube list, DrawScene) instead of only clearing: set between the
// floor and the viewer, it tells what drawing costs apart from the rest of the shell.
// The toolkit's headers first: on Windows they include <windows.h> in the order its headers need.
#include <wx/glcanvas.h>
#include <wx/wx.h>

#include <GL/gl.h>

#include <memory>

#ifdef TOBRIN_FLOOR_DRAWS_FIGURE
#include "model/figure.h"
#include "render/camera.h"
#include "render/cube_list.h"
#include "render/gl_state.h"
#include "render/scene.h"
#endif

namespace {

class FloorCanvas : public wxGLCanvas {
 public:
  FloorCanvas(wxWindow* parent, const wxGLAttributes& attributes)
      : wxGLCanvas(parent, attributes, wxID_ANY) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &FloorCanvas::OnPaint, this);
  }

 private:
  void OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (context_ == nullptr) context_ = std::make_unique<wxGLContext>(this);
    SetCurrent(*context_);
#ifdef TOBRIN_FLOOR_DRAWS_FIGURE
    if (figure_ == nullptr) {
      InitFixedState();
      cube_ = std::make_unique<CubeList>();
      figure_ = BuildFigure();
    }
    const wxSize size = GetClientSize();
    DrawScene({figure_.get(), DEFAULT_CAMERA, size.x, size.y, false});
#else
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
#endif
    SwapBuffers();
  }

  std::unique_ptr<wxGLContext> context_;
#ifdef TOBRIN_FLOOR_DRAWS_FIGURE
  std::unique_ptr<CubeList> cube_;
  PartNodePtr figure_;
#endif
};

}  // namespace

class FloorApp : public wxApp {
 public:
  bool OnInit() override {
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).EndList();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "GL floor", wxDefaultPosition, wxSize(500, 500));
    new FloorCanvas(frame, attributes);
    frame->Show();
    return true;
  }
};

wxIMPLEMENT_APP(FloorApp);
