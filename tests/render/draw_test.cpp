// Drawing the tree and whole frames: selection names, pictures against baselines, and pixels
// whose values follow from the geometry and the lighting equation.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "model/figure.h"
#include "render/draw_node.h"
#include "render/guide_sphere.h"
#include "render/outline.h"
#include "render/projection.h"
#include "render/scene.h"
#include "tests/support/gl_test.h"
#include "tests/support/image_compare.h"
#include "tests/support/scene_helpers.h"

namespace {

using namespace tobrin_test;

class Drawing : public GLTest {
 protected:
  RgbaImage Render(const PartNode* root, int width, int height, bool sphere = false) {
    EXPECT_TRUE(gl().Resize(width, height));
    EXPECT_TRUE(DrawScene({root, DEFAULT_CAMERA, width, height, sphere}));
    EXPECT_NO_GL_ERROR();
    return {width, height, gl().ReadPixels()};
  }

  // Draws the tree in selection mode over the whole area and returns the name path of every
  // hit, as PickPart would read them.
  std::set<std::vector<GLuint>> HitPaths(const PartNode* root) {
    GLuint buffer[1000];
    glSelectBuffer(1000, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    ApplyProjection(DEFAULT_CAMERA, 400, 300);
    glPushName(0);
    DrawNode(root);
    glPopName();
    const GLint hits = glRenderMode(GL_RENDER);
    std::set<std::vector<GLuint>> paths;
    for (GLint h = 0, pos = 0; h < hits; ++h) {
      const GLuint n = buffer[pos];
      paths.insert(std::vector<GLuint>(buffer + pos + 3, buffer + pos + 3 + n));
      pos += 3 + n;
    }
    return paths;
  }

  PartNodePtr figure = BuildFigure();
  PartNodePtr scene = Group();  // for a test's own boxes
};

TEST_F(Drawing, NamesArePathsOfChildIndexesAndInstancesDrawInPlace) {
  // The scene: A (box), B (group) with C (box), D (instance of E, a box with child F).
  PartNode* d = AddBox(scene.get(), 2, 0, 0, 0, 0, 0);
  d->kind = NODE_INSTANCE;
  d->instance = Box(0, 0, 0, 0.5, 0.5, 0.5);
  AddBox(d->instance, 0, -1.5, 0, 0.5, 0.5, 0.5);
  PartNode* b = AddBox(scene.get(), 0, 2, 0, 0, 0, 0);
  b->kind = NODE_GROUP;
  AddBox(b, 0, 0, 0, 0.5, 0.5, 0.5);
  AddBox(scene.get(), -2, 0, 0, 0.5, 0.5, 0.5);

  const std::set<std::vector<GLuint>> expected = {{0, 0}, {0, 1, 0}, {0, 2}, {0, 2, 0}};
  EXPECT_EQ(HitPaths(scene.get()), expected);
  EXPECT_EQ(GLStateProblems(), "");  // the name stack empty, the model-view stack as it was
}

TEST_F(Drawing, TheFigureHitsWithTheSeventeenBoxPaths) {
  std::set<std::vector<GLuint>> expected;
  for (const PartRow& row : FigureTable()) {
    if (row.kind() != NODE_BOX) continue;
    std::vector<GLuint> names = {0};
    for (int i : PathOf(row.name))
      names.push_back(static_cast<GLuint>(i));
    expected.insert(names);
  }
  ASSERT_EQ(expected.size(), 17u);
  EXPECT_EQ(HitPaths(figure.get()), expected);
}

TEST_F(Drawing, FramesOfTheFigureMatchTheirBaselines) {
  EXPECT_TRUE(MatchesBaseline("figure_400x300", Render(figure.get(), 400, 300)));
  EXPECT_TRUE(MatchesBaseline("figure_500x453", Render(figure.get(), 500, 453)));
  GuideQuadric quadric;
  GuideSphereList sphere(quadric.get());
  EXPECT_TRUE(MatchesBaseline("figure_guide_sphere_500x453", Render(figure.get(), 500, 453, true)));
}

TEST_F(Drawing, PixelsFollowFromGeometryAndLighting) {
  Part(figure.get(), "LeftUpperArm")->selected = 1;
  const RgbaImage image = Render(figure.get(), 400, 300);

  for (auto [x, y] : {std::pair{0, 0}, {399, 0}, {0, 299}, {399, 299}}) {
    EXPECT_TRUE(ColourNear(PixelAt(image, x, y), {0, 0, 0}, 0)) << x << ", " << y;
  }
  // The torso's front face at the centre. Its normal (0, 0, 1) is scaled by 1 / 0.8 and not
  // renormalised; light direction (1, 3, 8) / |(1, 3, 8)|:
  //   diffuse 1.25 x 8 / sqrt(74) x (0.8, 0.5, 0) + ambient (0.2 + 0.2) x 0.2 x (0.8, 0.5, 0)
  //   = (0.994, 0.621, 0), that is (253.5, 158.4, 0). Renormalised it would be (206, 129, 0).
  EXPECT_TRUE(ColourNear(PixelAt(image, 200, 150), {253, 158, 0}, 2));

  // The figure's left limbs are on the viewer's right: the selected left upper arm is red, the
  // right one keeps its slate, brightened by the normal scaled 1 / 0.3:
  //   3.333 x 0.92998 x (0.2, 0.2, 0.5) + 0.08 x (0.2, 0.2, 0.5) = (0.636, 0.636, 1.0).
  const Camera& camera = DEFAULT_CAMERA;
  const auto left = FrontFaceCentre(figure.get(), "LeftUpperArm", camera, 400, 300);
  const auto right = FrontFaceCentre(figure.get(), "RightUpperArm", camera, 400, 300);
  EXPECT_GT(left[0], 200);
  EXPECT_LT(right[0], 200);
  EXPECT_TRUE(ColourNear(PixelAt(image, left[0], left[1]), {255, 0, 0}, 1));
  EXPECT_TRUE(ColourNear(PixelAt(image, right[0], right[1]), {162, 162, 255}, 2));

  // The top of the head (y 2.025, front edge at z 0.35) projects to window row
  // 150 + 150 x (2.025 / 9.65) / tan(22.5 deg) = 225.99 from the bottom, so 74.01 from the top;
  // the bottom of the feet (y -2.625) to 51.49 from the bottom, 248.51 from the top. The left
  // foot's column is 200 + 200 x (0.425 / 9.65) / (tan(22.5 deg) x 4 / 3) = 215.9.
  // Each row: a column, a row just outside the figure's outline there and one just inside.
  for (auto [x, outside, inside] : {std::array{200, 72, 76}, {216, 250, 246}, {184, 250, 246}}) {
    EXPECT_TRUE(ColourNear(PixelAt(image, x, outside), {0, 0, 0}, 0)) << x << ", " << outside;
    EXPECT_FALSE(ColourNear(PixelAt(image, x, inside), {0, 0, 0}, 20)) << x << ", " << inside;
  }
}

TEST_F(Drawing, ShadingDependsOnABoxsSize) {
  // Two boxes of one colour, one twice as deep: the deeper one's front face is darker.
  SetColourSlate(AddBox(scene.get(), -1, 0, 0, 1, 1, 0.5));
  SetColourSlate(AddBox(scene.get(), 1, 0, 0, 1, 1, 1));
  const RgbaImage image = Render(scene.get(), 400, 300);
  const double thinFace[3] = {-1, 0, 0.25}, deepFace[3] = {1, 0, 0.5};
  const auto thin = *ClientPixel(DEFAULT_CAMERA, 400, 300, thinFace);
  const auto deep = *ClientPixel(DEFAULT_CAMERA, 400, 300, deepFace);
  // Thin box: normal scale 2, 2 x 0.92998 x 0.2 + 0.08 x 0.2 = 0.388 -> 99; deep: 0.202 -> 52.
  EXPECT_NEAR(PixelAt(image, thin[0], thin[1]).r, 99, 2);
  EXPECT_NEAR(PixelAt(image, deep[0], deep[1]).r, 52, 2);
}

TEST_F(Drawing, TheGuideSphereIsUnlitWhiteAndLeavesCullingAndLightingOn) {
  GuideQuadric quadric;
  GuideSphereList sphere(quadric.get());
  const RgbaImage with = Render(figure.get(), 400, 300, true);
  const RgbaImage without = Render(figure.get(), 400, 300);
  long white = 0, changed = 0;
  for (size_t i = 0; i < with.pixels.size(); i += 4) {
    if (with.pixels[i] == 255 && with.pixels[i + 1] == 255 && with.pixels[i + 2] == 255) ++white;
    if (with.pixels[i] != without.pixels[i]) ++changed;
  }
  EXPECT_GT(white, 500);  // lines in the current colour, white, whatever the light
  EXPECT_GT(changed, 500);
  EXPECT_EQ(GLStateProblems(), "");  // culling and lighting on, the model-view stack as it was
}

TEST_F(Drawing, TheCursorOutlineIsWhiteAroundItsPartOnlyAndLeavesTheStateAsItWas) {
  const RgbaImage without = Render(figure.get(), 400, 300);
  const PartNode* head = Part(figure.get(), "Head");
  ASSERT_TRUE(DrawScene({figure.get(), DEFAULT_CAMERA, 400, 300, false, head}));
  EXPECT_NO_GL_ERROR();
  const RgbaImage with{400, 300, gl().ReadPixels()};
  EXPECT_EQ(GLStateProblems(), "");

  // Where the outline box's corners show: columns, and image rows counted from the top.
  Matrix4 placed;
  ASSERT_TRUE(SceneMatrix(figure.get(), head, placed));
  double left = 1e9, right = -1e9, firstRow = 1e9, lastRow = -1e9;
  for (int corner = 0; corner < 8; ++corner) {
    double local[3], scene[3];
    for (int axis = 0; axis < 3; ++axis)
      local[axis] = ((corner >> axis & 1) ? 0.5 : -0.5) * head->size[axis] * OUTLINE_SCALE;
    for (int row = 0; row < 3; ++row)
      scene[row] = placed[row * 4] * local[0] + placed[row * 4 + 1] * local[1] +
                   placed[row * 4 + 2] * local[2] + placed[row * 4 + 3];
    const auto at = WindowPoint(DEFAULT_CAMERA, 400, 300, scene).value();
    left = std::min(left, at[0]);
    right = std::max(right, at[0]);
    firstRow = std::min(firstRow, 300 - at[1]);
    lastRow = std::max(lastRow, 300 - at[1]);
  }
  long white = 0, changedOutside = 0;
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) {
      const size_t i = (static_cast<size_t>(y) * 400 + x) * 4;
      const bool inside = x >= left - 2 && x <= right + 2 && y >= firstRow - 2 && y <= lastRow + 2;
      if (with.pixels[i] == 255 && with.pixels[i + 1] == 255 && with.pixels[i + 2] == 255) ++white;
      if (!inside && !std::equal(&with.pixels[i], &with.pixels[i] + 3, &without.pixels[i]))
        ++changedOutside;
    }
  }
  EXPECT_GT(white, 100);
  EXPECT_EQ(changedOutside, 0);

  // A part that is not in the tree is not drawn anywhere.
  PartNode stranger;
  ASSERT_TRUE(DrawScene({figure.get(), DEFAULT_CAMERA, 400, 300, false, &stranger}));
  EXPECT_EQ(RgbaImage({400, 300, gl().ReadPixels()}).pixels, without.pixels);
}

TEST_F(Drawing, AnEmptyAreaDrawsNothing) {
  ASSERT_TRUE(gl().Resize(4, 4));
  glClearColor(0, 0, 1, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
  for (auto [w, h] : {std::pair{0, 0}, {4, 0}, {0, 4}, {-3, 4}}) {
    EXPECT_FALSE(DrawScene({figure.get(), DEFAULT_CAMERA, w, h, false}));
  }
  const RgbaImage image{4, 4, gl().ReadPixels()};
  EXPECT_TRUE(ColourNear(PixelAt(image, 1, 1), {0, 0, 255}, 0));
  EXPECT_NO_GL_ERROR();
}

TEST_F(Drawing, AResizeChangesTheNextFramesViewportAndAspect) {
  Render(figure.get(), 400, 300);
  Render(figure.get(), 200, 400);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 200);
  EXPECT_EQ(viewport[3], 400);
  double p[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  EXPECT_NEAR(p[5] / p[0], 0.5, 1e-6);
}

}  // namespace
