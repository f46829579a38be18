// The window side of a CTobrinView without a window system, for the view tests, the benchmarks
// and the fuzzer: the view draws into the headless OpenGL context, and whatever else it asks
// of its window (capture, repaints, swaps, a palette) is recorded in a HostLog, not acted on.
#pragma once

#include <GL/gl.h>

#include <memory>
#include <vector>

#include "harness/headless_gl.h"
#include "render/cube_list.h"
#include "view/tobrin_view.h"
#include "view/view_host.h"

// What the view asked of its window.
struct HostLog {
  long repaints = 0;
  int swaps = 0;
  bool captured = false;  // as a window system's capture: set, cleared, or lost
  bool cubeListAliveAtContextRelease = true;
  bool contextReleased = false;
  int paletteRealizes = 0;
  int paletteUpdates = 0;
  bool paletteDeleted = false;
  size_t paletteEntries = 0;
  std::vector<int> realizeResults;  // what successive Realize calls report; 0 after them
};

// The headless context as the view's window context. The HeadlessGL outlives it; letting go of
// this object only leaves no context current, as a window's context release does.
class HeadlessViewContext : public GLContext {
 public:
  HeadlessViewContext(HeadlessGL& gl, HostLog& log) : gl_(gl), log_(log) {}
  ~HeadlessViewContext() override {
    log_.cubeListAliveAtContextRelease = glIsList(CUBE_LIST) == GL_TRUE;
    log_.contextReleased = true;
    gl_.ReleaseCurrent();
  }
  bool MakeCurrent() override { return gl_.MakeCurrent(); }
  void SwapBuffers() override {
    ++log_.swaps;
    gl_.Swap();
  }

 private:
  HeadlessGL& gl_;
  HostLog& log_;
};

class RecordingPalette : public HostPalette {
 public:
  explicit RecordingPalette(HostLog& log) : log_(log) {}
  ~RecordingPalette() override { log_.paletteDeleted = true; }
  int Realize() override {
    const size_t n = static_cast<size_t>(log_.paletteRealizes++);
    return n < log_.realizeResults.size() ? log_.realizeResults[n] : 0;
  }
  void UpdateColors() override { ++log_.paletteUpdates; }

 private:
  HostLog& log_;
};

class HeadlessViewHost : public ViewHost {
 public:
  // Records into `log`, which outlives the host and what it creates. Without a context (null
  // gl) the window offers no usable OpenGL.
  HeadlessViewHost(HeadlessGL* gl, HostLog& log) : gl_(gl), log_(log) {
    // True colour, as the headless configuration is: no palette unless a test asks for one.
    format.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.colourBits = 24;
    format.redBits = format.greenBits = format.blueBits = 8;
  }
  void CaptureMouse() override { log_.captured = true; }
  void ReleaseMouse() override { log_.captured = false; }
  void RequestRepaint() override { ++log_.repaints; }
  std::unique_ptr<GLContext> CreateContext() override {
    if (gl_ == nullptr || !gl_->MakeCurrent()) return nullptr;
    return std::make_unique<HeadlessViewContext>(*gl_, log_);
  }
  PixelFormatDescription DescribePixelFormat() override { return format; }
  std::unique_ptr<HostPalette> CreatePalette(const std::vector<PaletteEntry>& entries) override {
    log_.paletteEntries = entries.size();
    return std::make_unique<RecordingPalette>(log_);
  }

  PixelFormatDescription format;

 private:
  HeadlessGL* gl_;
  HostLog& log_;
};

// A view on the headless context with its host and log, as the application runs it: from
// OnCreate (fixed state, cube list, figure) to its destructor.
struct HeadlessView {
  explicit HeadlessView(HeadlessGL& gl) : host(&gl, log), view(host) {}
  // Creates the view on an area of the given size; false when it cannot be created.
  bool Create(int width, int height) {
    if (view.OnCreate() != 0) return false;
    view.OnSize(width, height);
    return true;
  }

  HostLog log;
  HeadlessViewHost host;
  CTobrinView view;
};
