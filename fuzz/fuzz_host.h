// The window a fuzzed view lives in: the shared headless OpenGL context, a true-colour pixel
// format (so no palette), and a mouse capture flag that behaves as a window system's does.
#pragma once

#include <memory>
#include <vector>

#include "tools/headless_gl.h"
#include "tools/headless_view_context.h"
#include "view/view_host.h"

class FuzzHost : public ViewHost {
 public:
  explicit FuzzHost(HeadlessGL& gl) : gl_(gl) {}

  void CaptureMouse() override { captured_ = true; }
  void ReleaseMouse() override { captured_ = false; }
  void RequestRepaint() override {}
  std::unique_ptr<GLContext> CreateContext() override {
    if (!gl_.MakeCurrent()) return nullptr;
    return std::make_unique<HeadlessViewContext>(gl_);
  }
  PixelFormatDescription DescribePixelFormat() override {
    PixelFormatDescription format;
    format.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.colourBits = 24;
    return format;
  }
  std::unique_ptr<HostPalette> CreatePalette(const std::vector<PaletteEntry>&) override {
    return nullptr;
  }

  // Another window took the capture (the view hears of it through OnCaptureLost).
  void LoseCapture() { captured_ = false; }
  bool captured() const { return captured_; }

 private:
  HeadlessGL& gl_;
  bool captured_ = false;
};
