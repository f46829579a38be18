// The window side of a CTobrinView for benchmarks: the view draws into the headless context
// and asks for nothing else. Capture and repaint requests are counted, not acted on, so a
// measured mouse step costs what the view itself does.
#pragma once

#include <memory>
#include <vector>

#include "tools/headless_gl.h"
#include "tools/headless_view_context.h"
#include "view/tobrin_view.h"
#include "view/view_host.h"

namespace tobrin_bench {

class HeadlessHost : public ViewHost {
 public:
  explicit HeadlessHost(HeadlessGL& gl) : gl_(gl) {}
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
  void RequestRepaint() override { ++repaints; }
  std::unique_ptr<GLContext> CreateContext() override {
    if (!gl_.MakeCurrent()) return nullptr;
    return std::make_unique<HeadlessViewContext>(gl_);
  }
  PixelFormatDescription DescribePixelFormat() override {
    // True colour, as the headless configuration is: no palette.
    PixelFormatDescription format;
    format.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.colourBits = 24;
    format.redBits = format.greenBits = format.blueBits = 8;
    return format;
  }
  std::unique_ptr<HostPalette> CreatePalette(const std::vector<PaletteEntry>&) override {
    return nullptr;
  }

  long repaints = 0;

 private:
  HeadlessGL& gl_;
};

// A created view on a headless context of the given size: the view as the application runs
// it, from OnCreate (fixed state, cube list, figure) to its destructor.
class HeadlessView {
 public:
  // Null, with *error set, when no headless context can be made or the view cannot be created.
  static std::unique_ptr<HeadlessView> Create(HeadlessGL& gl, int width, int height,
                                              std::string* error) {
    std::unique_ptr<HeadlessView> v(new HeadlessView(gl));
    if (!gl.Resize(width, height)) {
      *error = "cannot resize the headless surface";
      return nullptr;
    }
    if (v->view.OnCreate() != 0) {
      *error = "the view could not be created on the headless context";
      return nullptr;
    }
    v->view.OnSize(width, height);
    return v;
  }

  HeadlessHost host;
  CTobrinView view;

 private:
  explicit HeadlessView(HeadlessGL& gl) : host(gl), view(host) {}
};

}  // namespace tobrin_bench
