// Picking and the projection of the figure's origin, on a real context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/figure.h"
#include "render/picking.h"
#include "render/projection.h"
#include "tests/support/gl_state_check.h"
#include "tests/support/gl_test.h"
#include "tests/support/scene_helpers.h"

namespace {

using namespace tobrin_test;

constexpr int W = 400, H = 300;

class Picking : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    // A projection matrix of the caller's, which picking must leave as it was.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
  }

  // The state both operations must leave behind.
  void ExpectStateRestored() {
    EXPECT_EQ(GLStateProblems(), "");
    double p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    EXPECT_DOUBLE_EQ(p[0], 1.0);
    EXPECT_DOUBLE_EQ(p[10], -1.0);
    EXPECT_TRUE(ModelViewIsTheCamera());
  }

  PartNode* Pick(PartNode* root, int x, int y) {
    return PickPart(root, DEFAULT_CAMERA, W, H, x, y);
  }

  PartNodePtr figure = BuildFigure();
  PartNodePtr scene = Group();  // for a test's own boxes
};

int SelectedCount(PartNode* root) {
  int n = 0;
  ForEachNode(root, [&](PartNode* node) { n += node->selected; });
  return n;
}

TEST_F(Picking, EachSelectablePartIsPickedAtItsFrontFaceAndToggledBack) {
  for (const std::string& name : SelectableParts()) {
    SCOPED_TRACE(name);
    PartNode* part = Part(figure.get(), name);
    const auto at = FrontFaceCentre(figure.get(), name, DEFAULT_CAMERA, W, H);
    EXPECT_EQ(Pick(figure.get(), at[0], at[1]), part);
    EXPECT_EQ(part->selected, 1);
    EXPECT_EQ(SelectedCount(figure.get()), 1);
    ExpectStateRestored();
    EXPECT_EQ(Pick(figure.get(), at[0], at[1]), part);
    EXPECT_EQ(part->selected, 0);
    EXPECT_EQ(SelectedCount(figure.get()), 0);
  }
}

TEST_F(Picking, BackgroundAndRigidPartsGiveNothing) {
  EXPECT_EQ(Pick(figure.get(), 5, 5), nullptr);
  EXPECT_EQ(Pick(figure.get(), 200, 290), nullptr);
  ExpectStateRestored();
  for (const char* rigid : {"Torso", "Shoulders", "Hips"}) {
    const auto at = FrontFaceCentre(figure.get(), rigid, DEFAULT_CAMERA, W, H);
    EXPECT_EQ(Pick(figure.get(), at[0], at[1]), nullptr) << rigid;
  }
  EXPECT_EQ(SelectedCount(figure.get()), 0);
  ExpectStateRestored();
}

// A unit box at z 2 and one at z -2, on the line of sight through the area's centre; the near
// one drawn first or last (the box added last is drawn first).
struct NearAndFar {
  explicit NearAndFar(bool nearFirst) {
    PartNode* addedFirst = AddBox(root.get(), 0, 0, nearFirst ? -2 : 2, 1, 1, 1);
    PartNode* addedLast = AddBox(root.get(), 0, 0, nearFirst ? 2 : -2, 1, 1, 1);
    nearBox = nearFirst ? addedLast : addedFirst;
    farBox = nearFirst ? addedFirst : addedLast;
  }
  PartNodePtr root = Group();
  PartNode *nearBox, *farBox;
};

TEST_F(Picking, TheNearerOfTwoOverlappingBoxesWinsWhicheverIsDrawnFirst) {
  for (bool nearFirst : {true, false}) {
    NearAndFar boxes(nearFirst);
    EXPECT_EQ(Pick(boxes.root.get(), W / 2, H / 2), boxes.nearBox) << nearFirst;
    EXPECT_EQ(boxes.farBox->selected, 0);
  }
}

TEST_F(Picking, OfTwoHitsAtTheSameDepthTheOneDrawnFirstWins) {
  PartNode* second = AddBox(scene.get(), 0, 0, 0, 1, 1, 1);
  PartNode* first = AddBox(scene.get(), 0, 0, 0, 1, 1, 1);  // index 0: drawn first
  EXPECT_EQ(Pick(scene.get(), W / 2, H / 2), first);
  EXPECT_EQ(second->selected, 0);
}

TEST_F(Picking, ARigidPartInFrontBlocksThePick) {
  for (bool rigidFirst : {true, false}) {
    NearAndFar boxes(rigidFirst);
    PartNode *rigid = boxes.nearBox, *behind = boxes.farBox;
    rigid->selectable = 0;
    EXPECT_EQ(Pick(boxes.root.get(), W / 2, H / 2), nullptr) << rigidFirst;
    EXPECT_EQ(behind->selected, 0);
    // A selectable part in front of a rigid one is picked.
    rigid->selectable = 1;
    behind->selectable = 0;
    EXPECT_EQ(Pick(boxes.root.get(), W / 2, H / 2), rigid);
  }
}

TEST_F(Picking, TheTopClientRowPicksAtTheViewportsTopEdge) {
  // A box whose lower edge lies on window row H - 3 (from the bottom) and reaches past the top.
  // At z = 0 the view's half height is 10 x tan(22.5 deg).
  const double halfHeight = 10.0 * std::tan(22.5 * M_PI / 180.0);
  const double lower = (H - 3 - H / 2.0) / (H / 2.0) * halfHeight;
  PartNode* box = AddBox(scene.get(), 0, lower + 0.5, 0, 1, 1, 1e-4);
  EXPECT_EQ(Pick(scene.get(), W / 2, 0), box);  // region around window row H
  EXPECT_EQ(Pick(scene.get(), W / 2, 3), box);  // window row H - 3: the region overlaps the edge
  EXPECT_EQ(Pick(scene.get(), W / 2, 4), nullptr);
}

TEST_F(Picking, AFullSelectionBufferGivesNothing) {
  // 300 boxes under the pointer need 300 records of 5 entries: more than the buffer holds.
  for (int i = 0; i < 300; ++i)
    AddBox(scene.get(), 0, 0, -0.01 * i, 1, 1, 0.001);
  EXPECT_EQ(Pick(scene.get(), W / 2, H / 2), nullptr);
  EXPECT_EQ(SelectedCount(scene.get()), 0);
  ExpectStateRestored();
}

TEST_F(Picking, HitsInsideAnInstanceResolveThroughTheReferencedTree) {
  PartNode* instance = AddBox(scene.get(), 1, 0, 0, 0, 0, 0);
  instance->kind = NODE_INSTANCE;
  instance->instance = Group().release();  // the instance owns what it refers to
  PartNode* upper = AddBox(instance->instance, 0, 1, 0, 0.5, 0.5, 0.5);
  PartNode* lower = AddBox(instance->instance, 0, -1, 0, 0.5, 0.5, 0.5);

  const double upperFace[3] = {1, 1, 0.25}, lowerFace[3] = {1, -1, 0.25};
  const auto u = *ClientPixel(DEFAULT_CAMERA, W, H, upperFace);
  const auto l = *ClientPixel(DEFAULT_CAMERA, W, H, lowerFace);
  EXPECT_EQ(Pick(scene.get(), u[0], u[1]), upper);
  EXPECT_EQ(Pick(scene.get(), l[0], l[1]), lower);
  EXPECT_EQ(upper->selected + lower->selected, 2);
}

TEST_F(Picking, AnEmptyAreaPicksNothing) {
  EXPECT_EQ(PickPart(figure.get(), DEFAULT_CAMERA, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(PickPart(figure.get(), DEFAULT_CAMERA, 400, 0, 200, 0), nullptr);
  EXPECT_EQ(PickPart(nullptr, DEFAULT_CAMERA, W, H, 200, 150), nullptr);
}

class Projecting : public Picking {};

TEST_F(Projecting, TheOriginOnTheLineOfSightIsTheAreasCentre) {
  float out[2] = {-1, -1};
  EXPECT_EQ(ProjectOrigin(figure.get(), DEFAULT_CAMERA, W, H, out), 1);
  EXPECT_FLOAT_EQ(out[0], 200.0f);
  EXPECT_FLOAT_EQ(out[1], 150.0f);
  ExpectStateRestored();
}

TEST_F(Projecting, AMovedFigureLandsWhereThePerspectivePutsIt) {
  MakeTranslation(figure->matrix, 1.0, 0.5, 2.0);
  // x: 200 + 200 x (1 / 8) / (tan(22.5 deg) x 4 / 3); y upwards: 150 + 150 x (0.5 / 8) / tan.
  const double t = std::tan(22.5 * M_PI / 180.0);
  float out[2];
  ASSERT_EQ(ProjectOrigin(figure.get(), DEFAULT_CAMERA, W, H, out), 1);
  EXPECT_NEAR(out[0], 200.0 + 200.0 * (1.0 / 8.0) / (t * 4.0 / 3.0), 1e-3);
  EXPECT_NEAR(out[1], 150.0 + 150.0 * (0.5 / 8.0) / t, 1e-3);
  // Turning the figure about its own origin does not move the origin.
  Matrix4 r;
  MakeRotation(r, 100, 0, 1, 1);
  MultiplyMatrices(figure->matrix, r, figure->matrix);
  float again[2];
  ASSERT_EQ(ProjectOrigin(figure.get(), DEFAULT_CAMERA, W, H, again), 1);
  EXPECT_NEAR(again[0], out[0], 1e-3);
  EXPECT_NEAR(again[1], out[1], 1e-3);
}

TEST_F(Projecting, AnOriginClippedAwayLeavesTheOutputAlone) {
  const double positions[][3] = {{0, 0, 12}, {0, 0, 10}, {100, 0, 0}, {0, 0, -2000}};
  for (const auto& p : positions) {
    MakeTranslation(figure->matrix, p[0], p[1], p[2]);
    std::array<float, 2> out = {12.5f, -7.25f};
    EXPECT_EQ(ProjectOrigin(figure.get(), DEFAULT_CAMERA, W, H, out.data()), 0)
        << p[0] << " " << p[2];
    EXPECT_EQ(out, (std::array<float, 2>{12.5f, -7.25f}));
    ExpectStateRestored();
  }
  float out[2] = {1, 2};
  EXPECT_EQ(ProjectOrigin(figure.get(), DEFAULT_CAMERA, W, 0, out), 0);
  EXPECT_EQ(out[0], 1.0f);
}

}  // namespace
