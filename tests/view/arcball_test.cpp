// The arcball of Orientation mode.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "tests/support/scene_helpers.h"
#include "tests/support/view_fixture.h"

namespace {

using namespace tobrin_test;

// 400 x 300: the origin projects to (200, 150); the radius is (400 / 2) x 0.5 = 100 pixels.
class Arcball : public ViewTest {
 protected:
  Matrix4& pose() { return root()->matrix; }
};

TEST_F(Arcball, HalfTheRadiusRightOfTheCentreTurnsThirtyDegreesAboutYPerMove) {
  view->OnLButtonDown(200, 150);
  EXPECT_EQ(view->m_fCentreX, 200.0f);
  EXPECT_EQ(view->m_fCentreY, 150.0f);
  EXPECT_EQ(view->m_dAnchor, (std::array<double, 3>{0, 0, 1}));
  EXPECT_TRUE(PointsNear(view->MapToArcball(250, 150), {0.5, 0, std::sqrt(0.75)}, 1e-15));

  view->OnMouseMove(250, 150);
  // 30 degrees about +y: the front (+z) swings to the viewer's right (+x).
  EXPECT_TRUE(PointsNear(Apply(pose(), {0, 0, 1}), {0.5, 0, std::sqrt(0.75)}, 1e-12));
  EXPECT_NEAR(Apply(pose(), {0, 1, 0})[1], 1.0, 1e-12);  // about +y
  for (int i = 1; i < 12; ++i)
    view->OnMouseMove(250, 150);
  EXPECT_TRUE(MatricesNear(pose(), kIdentity, 1e-9));  // twelve steps: a full turn
  EXPECT_EQ(log.repaints, 12);

  // A later drag turns in the scene's axes, not the turned figure's: after a quarter turn
  // about y the front faces +x, and a quarter turn about the scene's x leaves it there.
  for (int i = 0; i < 3; ++i)
    view->OnMouseMove(250, 150);
  view->OnLButtonUp(250, 150);
  EXPECT_TRUE(PointsNear(Apply(pose(), {0, 0, 1}), {1, 0, 0}, 1e-9));
  view->OnLButtonDown(200, 150);
  for (int i = 0; i < 3; ++i)
    view->OnMouseMove(200, 100);  // half the radius up: 30 degrees about the scene's x
  EXPECT_TRUE(PointsNear(Apply(pose(), {0, 0, 1}), {1, 0, 0}, 1e-9));
  EXPECT_TRUE(PointsNear(Apply(pose(), {0, 1, 0}), {0, 0, -1}, 1e-9));
}

TEST_F(Arcball, ThePointerOnThePressPointOrOppositeToItTurnsNothing) {
  view->OnLButtonDown(230, 170);
  view->OnMouseMove(230, 170);
  EXPECT_TRUE(MatricesNear(pose(), kIdentity, 1e-15));
  EXPECT_EQ(log.repaints, 1);  // a repaint all the same
  view->OnLButtonUp(230, 170);

  // Press and pointer outside the circle on opposite sides: opposite rim vectors.
  view->OnLButtonDown(350, 150);
  view->OnMouseMove(50, 150);
  EXPECT_TRUE(MatricesNear(pose(), kIdentity, 1e-15));
}

TEST_F(Arcball, PressAndPointerOutsideTheCircleTurnAboutTheViewingAxisOnly) {
  view->OnLButtonDown(350, 150);  // rim vector (1, 0, 0)
  view->OnMouseMove(200, 0);      // rim vector (0, 1, 0): 90 degrees about z
  EXPECT_TRUE(PointsNear(Apply(pose(), {0, 0, 1}), {0, 0, 1}, 1e-12));
  EXPECT_TRUE(PointsNear(Apply(pose(), {1, 0, 0}), {0, 1, 0}, 1e-12));
}

TEST_F(Arcball, APointerOnTheCircleCountsAsInside) {
  view->OnLButtonDown(200, 150);
  const auto v = view->MapToArcball(300, 150);  // d = r
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[2], 0.0);
  const auto w = view->MapToArcball(200, 50);
  EXPECT_EQ(w[1], 1.0);
}

TEST_F(Arcball, TheRadiusUsesHalfTheWidthInWholePixels) {
  view->OnSize(481, 300);  // r = 120
  view->m_fCentreX = view->m_fCentreY = 0.0f;
  auto v = view->MapToArcball(120, 300);  // d = 120: on the circle
  EXPECT_NEAR(v[0], 1.0, 1e-15);
  v = view->MapToArcball(121, 300);
  EXPECT_EQ(v[2], 0.0);    // outside
  view->OnSize(482, 300);  // r = 120.5
  view->m_fCentreX = view->m_fCentreY = 0.0f;
  v = view->MapToArcball(120, 300);
  EXPECT_NEAR(v[0], 120.0 / 120.5, 1e-15);
  EXPECT_GT(v[2], 0.0);
}

TEST_F(Arcball, AnAreaTooSmallForASphereMapsEverythingToTheFront) {
  for (auto [w, h] : {std::pair{1, 300}, {0, 0}, {400, 0}, {1, 1}}) {
    view->OnSize(w, h);
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {-32767, 32767}, {32767, -32767}}) {
      const auto v = view->MapToArcball(x, y);
      EXPECT_EQ(v, (std::array<double, 3>{0, 0, 1})) << w << "x" << h << " at " << x << ", " << y;
    }
    LeftDrag(*view, 0, 0, 32767, -32767);
    EXPECT_TRUE(MatricesNear(pose(), kIdentity, 0.0));
  }
}

TEST_F(Arcball, TurnsAboutTheFiguresPositionAndAfterResetAboutTheSceneOrigin) {
  view->OnModePosition();
  LeftDrag(*view, 200, 150, 250, 125);  // to (1, 0.5, 0)
  view->OnModeOrientation();
  const double moved[3] = {1, 0.5, 0};
  const auto centre = *WindowPoint(view->m_camera, 400, 300, moved);
  const auto [cx, cy] = *ClientPixel(view->m_camera, 400, 300, moved);
  view->OnLButtonDown(cx, cy);
  EXPECT_NEAR(view->m_fCentreX, centre[0], 1e-3);
  view->OnMouseMove(cx + 40, cy - 20);
  view->OnMouseMove(cx + 80, cy + 30);
  EXPECT_TRUE(PointsNear(Origin(), {1.0, 0.5, 0.0}, 1e-15));
  EXPECT_GT(std::fabs(pose()[2]), 0.1);  // it did turn
  view->OnLButtonUp(cx + 80, cy + 30);

  const std::array<double, 3> anchor = view->m_dAnchor;
  const float centreX = view->m_fCentreX;
  view->OnFileReset();
  EXPECT_TRUE(MatricesNear(pose(), kIdentity, 0.0));
  EXPECT_EQ(view->m_dAnchor, anchor);  // Reset leaves the arcball alone
  EXPECT_EQ(view->m_fCentreX, centreX);
  view->OnLButtonDown(200, 150);
  view->OnMouseMove(260, 110);
  EXPECT_TRUE(PointsNear(Origin(), {0, 0, 0}, 0.0));
}

TEST_F(Arcball, TheCentreIsProjectedAtThePressOnlyAndReusedDuringTheDrag) {
  view->OnLButtonDown(200, 150);
  view->m_fCentreX = 100.0f;    // as if it had been measured there
  view->OnMouseMove(150, 150);  // half the radius right of the stored centre: 30 degrees
  const Vec3 front = Apply(pose(), {0, 0, 1});
  EXPECT_NEAR(std::asin(front[0]) * 180.0 / M_PI, 30.0, 1e-9);
  // The moves leave the anchor as the press set it.
  EXPECT_EQ(view->m_dAnchor, (std::array<double, 3>{0, 0, 1}));
}

TEST_F(Arcball, AMillionStepsLeaveTheFigureRigidAndItsOriginAtThePosition) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> coord(-200, 600);
  view->OnModePosition();
  LeftDrag(*view, 200, 150, 213, 161);
  view->OnModeOrientation();
  for (int press = 0; press < 1000; ++press) {
    view->OnLButtonDown(coord(rng), coord(rng));
    for (int step = 0; step < 1000; ++step)
      view->OnMouseMove(coord(rng), coord(rng));
    view->OnLButtonUp(0, 0);
  }
  EXPECT_LT(OrthonormalityError(pose()), 1e-9);
  EXPECT_EQ(Origin(), Position());
  EXPECT_EQ(pose()[12], 0.0);
  EXPECT_EQ(pose()[15], 1.0);
}

}  // namespace
