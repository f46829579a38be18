// Drag states and what each mode does with the mouse.
#include <gtest/gtest.h>

#include "model/figure.h"
#include "tests/support/scene_helpers.h"
#include "tests/support/tree_state.h"
#include "tests/support/view_fixture.h"

namespace {

using namespace tobrin_test;

class Mouse : public ViewTest {};

TEST_F(Mouse, PressesCaptureReleasesEndAnyDragAndRepaint) {
  view->OnLButtonDown(10, 20);
  EXPECT_EQ(view->m_nDragButton, DRAG_LEFT);
  EXPECT_EQ(view->m_nLastX, 10);
  EXPECT_EQ(view->m_nLastY, 20);
  EXPECT_TRUE(log.captured);
  EXPECT_EQ(log.repaints, 0);

  view->OnRButtonDown(30, 40);  // the right button turns the drag
  EXPECT_EQ(view->m_nDragButton, DRAG_RIGHT);
  EXPECT_EQ(view->m_nLastX, 30);
  view->OnLButtonUp(31, 41);  // the left release ends the right drag
  EXPECT_EQ(view->m_nDragButton, DRAG_NONE);
  EXPECT_FALSE(log.captured);
  EXPECT_EQ(log.repaints, 1);

  // With the right button still held nothing drags any more.
  view->m_nMode = MODE_POSITION;
  const TreeState before = TakeTreeState(root());
  view->OnMouseMove(80, 90);
  EXPECT_TRUE(SameTree(TakeTreeState(root()), before));
  EXPECT_EQ(log.repaints, 1);

  view->OnRButtonDown(5, 5);
  view->OnRButtonUp(5, 5);
  view->OnLButtonDown(5, 5);
  view->OnRButtonUp(5, 5);  // the right release ends a left drag
  EXPECT_EQ(view->m_nDragButton, DRAG_NONE);
  EXPECT_EQ(log.repaints, 3);
}

TEST_F(Mouse, AMoveWithoutADragOnlyRecordsThePointer) {
  for (int mode : {MODE_POSITION, MODE_ORIENTATION, MODE_JOINTS}) {
    view->m_nMode = mode;
    const TreeState before = TakeTreeState(root());
    view->OnMouseMove(123, 45);
    EXPECT_EQ(view->m_nLastX, 123);
    EXPECT_EQ(view->m_nLastY, 45);
    EXPECT_TRUE(SameTree(TakeTreeState(root()), before));
  }
  EXPECT_EQ(log.repaints, 0);
  // The next drag measures from its own press.
  view->m_nMode = MODE_POSITION;
  view->OnLButtonDown(200, 100);
  view->OnMouseMove(250, 100);
  EXPECT_NEAR(view->m_dPosX, 1.0, 1e-15);
}

TEST_F(Mouse, PositionLeftDragMovesAcrossXStepFirstAndAlwaysRepaints) {
  view->OnModePosition();
  ClearLog();
  view->OnLButtonDown(100, 100);
  view->OnMouseMove(150, 100);  // 50 pixels right: 1.0 along +x
  EXPECT_NEAR(view->m_dPosX, 1.0, 1e-15);
  EXPECT_TRUE(PointsNear(Origin(), {1.0, 0, 0}, 1e-15));
  EXPECT_EQ(log.repaints, 1);

  view->OnMouseMove(150, 100);  // no motion: still a repaint
  EXPECT_EQ(log.repaints, 2);

  // Turn the figure first: the steps still go along the scene's axes.
  Matrix4 turn;
  MakeRotation(turn, 90, 0, 0, 1);
  MultiplyMatrices(root()->matrix, turn, root()->matrix);
  view->OnMouseMove(160, 125);  // diagonal: +0.2 in x, then -0.5 in y
  EXPECT_TRUE(PointsNear(Position(), {1.2, -0.5, 0}, 1e-15));
  EXPECT_EQ(view->m_dPosZ, 0.0);
  // The x step goes first: T(0, y) x T(x, 0) x M, the same as the translation by their sum,
  // in exactly the order of the sums.
  EXPECT_EQ(Origin(), Position());
}

TEST_F(Mouse, PositionRightDragMovesInDepthAndIgnoresHorizontalMotion) {
  view->OnModePosition();
  ClearLog();
  view->OnRButtonDown(100, 100);
  view->OnMouseMove(100, 150);  // 50 pixels down: 1.0 toward the viewer
  EXPECT_NEAR(view->m_dPosZ, 1.0, 1e-15);
  EXPECT_TRUE(PointsNear(Origin(), {0, 0, 1.0}, 1e-15));
  view->OnMouseMove(180, 150);  // horizontal only: no move, but a repaint
  EXPECT_NEAR(view->m_dPosZ, 1.0, 1e-15);
  EXPECT_EQ(view->m_dPosX, 0.0);
  EXPECT_EQ(log.repaints, 2);
  EXPECT_EQ(view->m_nLastX, 180);
  view->OnMouseMove(180, 100);  // up: away again
  EXPECT_NEAR(view->m_dPosZ, 0.0, 1e-15);
}

TEST_F(Mouse, TheRightPressProjectsTheOriginInEveryMode) {
  for (int mode : {MODE_POSITION, MODE_ORIENTATION, MODE_JOINTS}) {
    view->m_nMode = mode;
    view->OnFileReset();
    view->m_nMode = MODE_POSITION;
    LeftDrag(*view, 0, 0, 50, 0);  // the origin one unit right of the centre
    view->m_nMode = mode;
    view->m_fCentreX = view->m_fCentreY = -1.0f;
    view->OnRButtonDown(10, 10);
    const double moved[3] = {1, 0, 0};
    const auto expected = *WindowPoint(view->m_camera, 400, 300, moved);
    EXPECT_NEAR(view->m_fCentreX, expected[0], 1e-3) << mode;
    EXPECT_NEAR(view->m_fCentreY, expected[1], 1e-3) << mode;
    view->OnRButtonUp(10, 10);
  }
}

TEST_F(Mouse, AFailedProjectionKeepsTheCentre) {
  view->OnModePosition();
  RightDrag(*view, 0, 0, 0, 600);  // 12 units toward the viewer: behind the eye
  view->m_fCentreX = 17.0f;
  view->m_fCentreY = 19.0f;
  view->OnRButtonDown(5, 5);
  EXPECT_EQ(view->m_fCentreX, 17.0f);
  EXPECT_EQ(view->m_fCentreY, 19.0f);
}

TEST_F(Mouse, OrientationRightDragAndJointsLeftDragMoveNothing) {
  const PartNodePtr fresh = BuildFigure();
  RightDrag(*view, 100, 100, 200, 250);
  view->OnModeJoints();
  LeftDrag(*view, 5, 5, 100, 200);  // from the background: picks nothing
  // Nothing selected, moved, turned or bent.
  EXPECT_TRUE(SameTree(TakeTreeState(root()), TakeTreeState(fresh.get())));
}

TEST_F(Mouse, JointsLeftPressPicksAndTheReleaseShowsIt) {
  view->OnModeJoints();
  ClearLog();
  const auto at = FrontFaceCentre(root(), "LeftForearm", view->m_camera, 400, 300);
  view->OnLButtonDown(at[0], at[1]);
  EXPECT_EQ(Part(root(), "LeftForearm")->selected, 1);
  EXPECT_EQ(log.repaints, 0);  // shown at the release
  view->OnLButtonUp(at[0], at[1]);
  EXPECT_EQ(log.repaints, 1);
  view->OnLButtonDown(at[0], at[1]);
  view->OnLButtonUp(at[0], at[1]);
  EXPECT_EQ(Part(root(), "LeftForearm")->selected, 0);
}

TEST_F(Mouse, JointsRightDragBendsByTheVerticalPixels) {
  view->OnModeJoints();
  PartNode* shin = Part(root(), "RightShin");
  shin->selected = 1;
  ClearLog();
  view->OnRButtonDown(100, 100);
  view->OnMouseMove(100, 105);  // 5 down: +5
  EXPECT_EQ(shin->angle, 5.0);
  EXPECT_EQ(log.repaints, 1);
  view->OnMouseMove(100, 100);  // 5 up: -5
  EXPECT_EQ(shin->angle, 0.0);
  view->OnMouseMove(170, 100);  // horizontal: no bend, no repaint
  EXPECT_EQ(shin->angle, 0.0);
  EXPECT_EQ(log.repaints, 2);
  EXPECT_EQ(view->m_nLastX, 170);
  view->OnMouseMove(170, 130);
  EXPECT_EQ(shin->angle, 30.0);
}

TEST_F(Mouse, AModeChangeLeavesTheDragInPlace) {
  view->OnModePosition();
  view->OnLButtonDown(100, 100);
  view->OnModeJoints();
  EXPECT_EQ(view->m_nDragButton, DRAG_LEFT);
  EXPECT_TRUE(log.captured);
  view->OnModePosition();
  view->OnMouseMove(150, 100);  // the drag continues under the new mode's rule
  EXPECT_NEAR(view->m_dPosX, 1.0, 1e-15);
}

TEST_F(Mouse, LosingTheCaptureEndsTheDrag) {
  view->OnModePosition();
  view->OnLButtonDown(100, 100);
  view->OnCaptureLost();
  EXPECT_EQ(view->m_nDragButton, DRAG_NONE);
  view->OnMouseMove(300, 100);
  EXPECT_EQ(view->m_dPosX, 0.0);
}

}  // namespace
