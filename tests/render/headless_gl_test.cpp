// The headless context itself, which every drawing test reads its frames from: the order of the
// rows it gives, that a resize gives a surface of exactly the new size, and that a frame can be
// read after its swap, as the view's frames are.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/cube_list.h"
#include "tests/support/gl_test.h"
#include "tests/support/image_compare.h"

namespace {

using namespace tobrin_test;

class HeadlessContext : public GLTest {
 protected:
  // Clears the whole surface to one colour and the rows from `fromRow` (counted in OpenGL's
  // way, from the bottom) up to another.
  static void ClearInTwo(int width, int height, int fromRow) {
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, fromRow, width, height - fromRow);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
  }

  // How many pixels of the image have the colour.
  static long Count(const RgbaImage& image, const Rgb& colour) {
    long n = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
      n += image.pixels[i] == colour.r && image.pixels[i + 1] == colour.g &&
           image.pixels[i + 2] == colour.b;
    }
    return n;
  }
};

TEST_F(HeadlessContext, RowsComeTopFirstInRgbaOrder) {
  ClearInTwo(400, 300, 200);  // the top 100 rows red, the rest blue
  const std::vector<unsigned char> pixels = gl().ReadPixels();
  ASSERT_EQ(pixels.size(), 400u * 300u * 4u);
  const RgbaImage image{400, 300, pixels};
  EXPECT_TRUE(ColourNear(PixelAt(image, 0, 0), {255, 0, 0}, 0));
  EXPECT_TRUE(ColourNear(PixelAt(image, 399, 99), {255, 0, 0}, 0));
  EXPECT_TRUE(ColourNear(PixelAt(image, 0, 100), {0, 0, 255}, 0));
  EXPECT_TRUE(ColourNear(PixelAt(image, 399, 299), {0, 0, 255}, 0));
  EXPECT_EQ(Count(image, {255, 0, 0}), 400 * 100);
  EXPECT_NO_GL_ERROR();
}

TEST_F(HeadlessContext, AResizeGivesASurfaceOfExactlyTheNewSizeAndKeepsTheLists) {
  // Larger than the start in both directions, narrower and taller, tiny, and back.
  for (auto [w, h] : {std::pair{640, 480}, {200, 400}, {3, 2}, {400, 300}}) {
    SCOPED_TRACE(::testing::Message() << w << "x" << h);
    ASSERT_TRUE(gl().Resize(w, h));
    ClearInTwo(w, h, h - 1);  // the top row red
    const RgbaImage image{w, h, gl().ReadPixels()};
    ASSERT_EQ(image.pixels.size(), static_cast<size_t>(w) * h * 4);
    // Every pixel read is one the clears reached: none lies outside the surface.
    EXPECT_EQ(Count(image, {255, 0, 0}), w);
    EXPECT_EQ(Count(image, {0, 0, 255}), static_cast<long>(w) * (h - 1));
    EXPECT_TRUE(glIsList(CUBE_LIST));
  }
  EXPECT_NO_GL_ERROR();
}

TEST_F(HeadlessContext, AnEmptySizeStaysUsableAndReadsOnePixel) {
  ASSERT_TRUE(gl().Resize(0, 0));
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  const RgbaImage image{1, 1, gl().ReadPixels()};
  ASSERT_EQ(image.pixels.size(), 4u);
  EXPECT_TRUE(ColourNear(PixelAt(image, 0, 0), {0, 255, 0}, 0));
  EXPECT_NO_GL_ERROR();
}

TEST_F(HeadlessContext, TheFrameCanBeReadAfterItsSwap) {
  ClearInTwo(400, 300, 150);
  const std::vector<unsigned char> drawn = gl().ReadPixels();
  gl().Swap();
  EXPECT_TRUE(gl().ReadPixels() == drawn);
  // And the next frame draws over it, where its swap leaves it.
  ClearInTwo(400, 300, 10);
  gl().Swap();
  const RgbaImage next{400, 300, gl().ReadPixels()};
  EXPECT_EQ(Count(next, {255, 0, 0}), 400 * 290);
}

TEST_F(HeadlessContext, ReleasedAndMadeCurrentAgainItIsTheSameContext) {
  gl().ReleaseCurrent();
  EXPECT_EQ(glGetString(GL_VERSION), nullptr);  // no context: OpenGL answers nothing
  ASSERT_TRUE(gl().MakeCurrent());
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
  EXPECT_TRUE(glIsList(CUBE_LIST));
  EXPECT_NO_GL_ERROR();
}

}  // namespace
