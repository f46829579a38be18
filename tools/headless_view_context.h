// The headless OpenGL context seen as a view's window context, for the programs that run a
// CTobrinView without a window (benchmarks, fuzzers). The HeadlessGL outlives it; letting go of
// this object only leaves no context current, as a window's context release does.
#pragma once

#include "tools/headless_gl.h"
#include "view/view_host.h"

class HeadlessViewContext : public GLContext {
 public:
  explicit HeadlessViewContext(HeadlessGL& gl) : gl_(gl) {}
  ~HeadlessViewContext() override { gl_.ReleaseCurrent(); }
  bool MakeCurrent() override { return gl_.MakeCurrent(); }
  void SwapBuffers() override { gl_.Swap(); }

 private:
  HeadlessGL& gl_;
};
