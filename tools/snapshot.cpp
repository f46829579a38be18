// Renders the figure as built, headless, and writes it as a PNG:
//   tobrin-snapshot OUTPUT.png [WIDTH HEIGHT] [--guide-sphere]
// Used for the README's picture and to regenerate image baselines on purpose.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/figure.h"
#include "render/cube_list.h"
#include "render/gl_state.h"
#include "render/guide_sphere.h"
#include "render/scene.h"
#include "tools/headless_gl.h"
#include "tools/png_io.h"

int main(int argc, char** argv) {
  std::string output;
  int size[2] = {500, 453};
  int sizes = 0;
  bool guideSphere = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--guide-sphere") {
      guideSphere = true;
    } else if (output.empty()) {
      output = arg;
    } else if (sizes < 2) {
      size[sizes++] = std::atoi(arg.c_str());
    } else {
      output.clear();
      break;
    }
  }
  if (output.empty() || sizes == 1 || size[0] < 1 || size[1] < 1 || size[0] > 16384 ||
      size[1] > 16384) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [WIDTH HEIGHT] [--guide-sphere]\n", argv[0]);
    return 2;
  }

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
    RgbaImage image{size[0], size[1], gl->ReadPixels()};
    if (!WritePng(output, image, &error)) {
      std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
      return 1;
    }
  }
  return 0;
}
