// The view's commands and the marks its state handlers set.
#include <gtest/gtest.h>

#include "model/figure.h"
#include "tests/support/image_compare.h"
#include "tests/support/resident_memory.h"
#include "tests/support/scene_helpers.h"
#include "tests/support/tree_state.h"
#include "tests/support/view_fixture.h"

namespace {

using namespace tobrin_test;

class Commands : public ViewTest {
 protected:
  long WhitePixels() {
    view->OnDraw();
    const RgbaImage image{400, 300, gl().ReadPixels()};
    long white = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
      white += image.pixels[i] == 255 && image.pixels[i + 1] == 255 && image.pixels[i + 2] == 255;
    }
    return white;
  }
};

TEST_F(Commands, ModesSetTheRadioMarksAndRepaintWithoutTouchingTheFigure) {
  struct Row {
    void (CTobrinView::*command)();
    void (CTobrinView::*update)(CommandState&) const;  // the state handler of the mode's mark
    int mode;
  };
  const Row rows[] = {
      {&CTobrinView::OnModePosition, &CTobrinView::OnUpdateModePosition, MODE_POSITION},
      {&CTobrinView::OnModeJoints, &CTobrinView::OnUpdateModeJoints, MODE_JOINTS},
      {&CTobrinView::OnModeOrientation, &CTobrinView::OnUpdateModeOrientation, MODE_ORIENTATION}};
  for (const Row& row : rows) {
    ClearLog();
    (view.get()->*row.command)();
    EXPECT_EQ(view->m_nMode, row.mode);
    EXPECT_EQ(log.repaints, 1);
    for (const Row& mark : rows) {
      RecordingState state;
      (view.get()->*mark.update)(state);
      EXPECT_EQ(state.radio, mark.mode == row.mode)
          << "mark " << mark.mode << ", mode " << row.mode;
      EXPECT_EQ(state.radios, 1);
      EXPECT_EQ(state.checks + state.enables + state.texts, 0);  // never disabled, never checked
    }
    EXPECT_EQ(log.repaints, 1);  // the mode marks ask for no repaint
  }
  EXPECT_TRUE(SameTree(TakeTreeState(root()), TakeTreeState(BuildFigure().get())));
}

TEST_F(Commands, ResetPutsTheFigureBackAndKeepsBendsSelectionModeAndArcball) {
  PoseTheFigure(*view, {"LeftThigh", "Head"});
  const double thighAngle = Part(root(), "LeftThigh")->angle;
  ASSERT_NE(thighAngle, 0.0);
  Matrix4 thigh;
  CopyMatrix(Part(root(), "LeftThigh")->matrix, thigh);
  const auto anchor = view->m_dAnchor;
  ClearLog();
  view->OnFileReset();
  EXPECT_TRUE(MatricesNear(root()->matrix, kIdentity, 0.0));
  EXPECT_EQ(Position(), (Vec3{0, 0, 0}));
  EXPECT_EQ(Part(root(), "LeftThigh")->angle, thighAngle);
  EXPECT_TRUE(MatricesNear(Part(root(), "LeftThigh")->matrix, thigh, 0.0));
  EXPECT_EQ(Part(root(), "Head")->selected, 1);
  EXPECT_EQ(view->m_nMode, MODE_JOINTS);
  EXPECT_EQ(view->m_dAnchor, anchor);
  EXPECT_EQ(log.repaints, 1);
  // A Position drag starts again from a zero sum.
  view->OnModePosition();
  LeftDrag(*view, 0, 0, 50, 0);
  EXPECT_NEAR(view->m_dPosX, 1.0, 1e-15);
}

TEST_F(Commands, ResetJointsStraightensTheLimbsWhereTheFigureStands) {
  PoseTheFigure(*view, {"LeftThigh", "Head"});
  const PartNodePtr fresh = BuildFigure();  // straight, where the figure stands, selected
  CopyMatrix(root()->matrix, fresh->matrix);
  Part(fresh.get(), "LeftThigh")->selected = Part(fresh.get(), "Head")->selected = 1;
  const double posX = view->m_dPosX;
  ClearLog();
  view->OnFileResetJoints();
  EXPECT_TRUE(SameTree(TakeTreeState(root()), TakeTreeState(fresh.get())));
  EXPECT_EQ(view->m_dPosX, posX);
  EXPECT_EQ(view->m_nMode, MODE_JOINTS);
  EXPECT_EQ(log.repaints, 1);
}

TEST_F(Commands, VisibleArcballTogglesItsCheckAndShowsOnlyInOrientationMode) {
  const long plain = WhitePixels();
  view->OnModePosition();
  ClearLog();
  view->OnModeVisibleArcball();
  EXPECT_TRUE(view->m_bArcballVisible);
  EXPECT_EQ(log.repaints, 0);  // the command itself asks for none
  RecordingState state;
  view->OnUpdateModeVisibleArcball(state);
  EXPECT_EQ(state.check, 1);
  EXPECT_EQ(log.repaints, 1);       // its state handler does, every time
  EXPECT_EQ(WhitePixels(), plain);  // nothing drawn in Position mode
  view->OnModeJoints();
  EXPECT_EQ(WhitePixels(), plain);
  view->OnModeOrientation();
  EXPECT_GT(WhitePixels(), plain + 500);

  view->OnModeVisibleArcball();  // twice: back to the start
  view->OnUpdateModeVisibleArcball(state);
  EXPECT_EQ(state.check, 0);
  EXPECT_FALSE(view->m_bArcballVisible);
  EXPECT_EQ(WhitePixels(), plain);
}

TEST_F(Commands, TheFrameShowsTheSelectionAfterTheRelease) {
  view->OnModeJoints();
  const auto at = FrontFaceCentre(root(), "Head", view->m_camera, 400, 300);
  view->OnLButtonDown(at[0], at[1]);
  view->OnLButtonUp(at[0], at[1]);
  view->OnDraw();
  const RgbaImage image{400, 300, gl().ReadPixels()};
  const Rgb head = PixelAt(image, at[0], at[1]);
  EXPECT_GT(head.r, 150);
  EXPECT_EQ(head.g, 0);
  EXPECT_EQ(head.b, 0);
}

TEST_F(Commands, LongArcballSessionsWithTheGuideSphereKeepNoMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "resident memory means little under AddressSanitizer";
#endif
  // Every left press projects the origin in feedback mode. Drawn afterwards by the quadric
  // frame by frame, the sphere made the driver keep about 5 KB a frame, for good.
  view->OnModeVisibleArcball();
  const auto session = [&](int rounds) {
    for (int round = 0; round < rounds; ++round) {
      view->OnLButtonDown(200, 150);
      for (int frame = 0; frame < 20; ++frame) {
        view->OnMouseMove(200 + frame, 150);
        view->OnDraw();
      }
      view->OnLButtonUp(220, 150);
    }
    glFinish();
  };
  session(60);  // warm-up: the driver's caches fill
  const long before = ResidentKiB();
  ASSERT_GT(before, 0) << "no resident size to measure";
  session(150);
  EXPECT_LT(ResidentKiB() - before, 1024) << "KiB kept over 3,000 frames";
}

}  // namespace
