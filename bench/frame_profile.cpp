// Draws a fixed number of frames of one kind on the headless context, counting instructions
// only around them when run under callgrind, so that profiles of a frame repeat exactly:
//
//   valgrind --tool=callgrind --instr-atstart=no tobrin-frame-profile figure
//
// Kinds: empty (clear, swap, finish), figure (the view's frame), shrunk (the same frame with
// the figure scaled down to nothing: every OpenGL call of the figure, almost no pixels), twice
// (the figure drawn a second time over itself: its pixels shaded again).
#include <GL/gl.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness/headless_view_host.h"
#include "render/draw_node.h"

int main(int argc, char** argv) {
  const std::string kind = argc > 1 ? argv[1] : "";
  if (kind != "empty" && kind != "figure" && kind != "shrunk" && kind != "twice") {
    std::fprintf(stderr, "usage: %s empty|figure|shrunk|twice [WIDTH HEIGHT [FRAMES]]\n", argv[0]);
    return 2;
  }
  const int width = argc > 3 ? std::atoi(argv[2]) : 500;
  const int height = argc > 3 ? std::atoi(argv[3]) : 453;
  const int frames = argc > 4 ? std::atoi(argv[4]) : 20;
  std::string error;
  auto gl = HeadlessGL::Create(width, height, &error);
  if (gl == nullptr) {
    std::fprintf(stderr, "tobrin-frame-profile: %s\n", error.c_str());
    return 1;
  }
  HeadlessView v(*gl);
  if (!v.Create(width, height)) {
    std::fprintf(stderr, "tobrin-frame-profile: the view could not be created\n");
    return 1;
  }
  CTobrinView& view = v.view;
  if (kind == "shrunk") {
    for (int i = 0; i < 3; ++i)
      view.m_pRoot->matrix[5 * i] = 1e-4;
  }
  const auto frame = [&] {
    if (kind == "empty") {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      gl->Swap();
    } else if (kind == "twice") {
      view.DrawScene();
      DrawNode(view.m_pRoot.get());
    } else {
      view.OnDraw();
    }
    glFinish();
  };
  for (int i = 0; i < 10; ++i)  // shaders compiled and buffers made before counting
    frame();
  CALLGRIND_START_INSTRUMENTATION;
  for (int i = 0; i < frames; ++i)
    frame();
  CALLGRIND_STOP_INSTRUMENTATION;
  std::printf("%d %s frames of %dx%d drawn\n", frames, kind.c_str(), width, height);
  return 0;
}
