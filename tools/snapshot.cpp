// Renders the figure as built, headless, and writes it as a PNG:
//   tobrin-snapshot OUTPUT.png [WIDTH HEIGHT] [--guide-sphere]
// Used for the README's picture and to regenerate image baselines on purpose.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/headless_gl.h"
#include "harness/png_io.h"
#include "model/figure.h"
#include "render/cube_list.h"
#include "render/gl_state.h"
#include "render/guide_sphere.h"
#include "render/scene.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const auto flags = std::remove(args.begin(), args.end(), "--guide-sphere");
  const bool guideSphere = flags != args.end();
  args.erase(flags, args.end());
  int size[2] = {500, 453};
  if (args.size() == 3) {
    size[0] = std::atoi(args[1].c_str());
    size[1] = std::atoi(args[2].c_str());
  }
  if ((args.size() != 1 && args.size() != 3) || size[0] < 1 || size[1] < 1 || size[0] > 16384 ||
      size[1] > 16384) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [WIDTH HEIGHT] [--guide-sphere]\n", argv[0]);
    return 2;
  }
  const std::string& output = args[0];

  std::string error;
  auto gl = HeadlessGL::Create(size[0], size[1], &error);
  if (!gl) {
    std::fprintf(stderr, "%s: no headless OpenGL: %s\n", argv[0], error.c_str());
    return 1;
  }
  InitFixedState();
  {
    CubeList cube;
    GuideQuadric quadric;
    GuideSphereList sphere(quadric.get());
    PartNodePtr root = BuildFigure();
    DrawScene({root.get(), DEFAULT_CAMERA, size[0], size[1], guideSphere});
    if (!WritePng(output, {size[0], size[1], gl->ReadPixels()}, &error)) {
      std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
      return 1;
    }
  }
  return 0;
}
