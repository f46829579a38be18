// Reading a frame back: plain OpenGL, shared by the headless context of every system.
#include "harness/headless_gl.h"

#include <GL/gl.h>

#include <cstring>

std::vector<unsigned char> HeadlessGL::ReadPixels() const {
  const int w = width_ > 0 ? width_ : 1, h = height_ > 0 ? height_ : 1;
  std::vector<unsigned char> bottomUp(static_cast<size_t>(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<unsigned char> topDown(bottomUp.size());
  const size_t row = static_cast<size_t>(w) * 4;
  for (int y = 0; y < h; ++y)
    std::memcpy(&topDown[y * row], &bottomUp[(h - 1 - y) * row], row);
  return topDown;
}
