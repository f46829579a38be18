// The keys of the drawing area: each against the mouse action it stands for, the keyboard
// cursor, and the text for screen readers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/tree_state.h"
#include "tests/support/view_fixture.h"

namespace {

using namespace tobrin_test;

class Keys : public ViewTest {
 protected:
  // Moves and turns the figure away from the middle and bends a few parts, so that the keys
  // start from a pose where a wrong frame or centre would show.
  void SetUp() override {
    ViewTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    PoseTheFigure(*view, {"Neck", "LeftForearm", "RightShin"});
    ClearLog();
  }

  void Restore(const TreeState& state, const Vec3& position) {
    size_t i = 0;
    ForEachNode(root(), [&](PartNode* n) {
      std::copy(state[i].begin(), state[i].begin() + 16, n->matrix);
      n->angle = state[i][16];
      n->selected = static_cast<unsigned char>(state[i][17]);
      ++i;
    });
    view->m_dPosX = position[0];
    view->m_dPosY = position[1];
    view->m_dPosZ = position[2];
    // A centre no projection gives, to tell whether a press projected the origin.
    view->m_fCentreX = 1.0f;
    view->m_fCentreY = 2.0f;
  }

  // The client pixel (y downwards) nearest to the figure's projected origin.
  void OriginPixel(int& x, int& y) {
    float at[2] = {0, 0};
    ASSERT_EQ(view->ProjectOrigin(at), 1);
    x = static_cast<int>(std::lround(at[0]));
    y = static_cast<int>(std::lround(view->m_nHeight - static_cast<double>(at[1])));
  }
};

enum class Drag { Left, Right, ArcballFromOrigin };

struct KeyRow {
  int mode;
  ViewKey key;
  bool shift;
  int presses;
  Drag drag;  // the mouse action one press stands for
  int dx, dy;
};

// clang-format off
const KeyRow kKeyRows[] = {
    {MODE_POSITION, KEY_LEFT, false, 3, Drag::Left, -10, 0},
    {MODE_POSITION, KEY_RIGHT, false, 3, Drag::Left, 10, 0},
    {MODE_POSITION, KEY_UP, false, 3, Drag::Left, 0, -10},
    {MODE_POSITION, KEY_DOWN, true, 3, Drag::Left, 0, 1},
    {MODE_POSITION, KEY_PAGE_UP, false, 3, Drag::Right, 0, -10},
    {MODE_POSITION, KEY_PAGE_DOWN, true, 3, Drag::Right, 0, 1},
    {MODE_ORIENTATION, KEY_LEFT, false, 3, Drag::ArcballFromOrigin, -10, 0},
    {MODE_ORIENTATION, KEY_RIGHT, true, 3, Drag::ArcballFromOrigin, 1, 0},
    {MODE_ORIENTATION, KEY_UP, false, 3, Drag::ArcballFromOrigin, 0, -10},
    {MODE_ORIENTATION, KEY_DOWN, false, 3, Drag::ArcballFromOrigin, 0, 10},
    // Enough presses to reach every selected part's limit: the bends that would reach it are
    // refused, as the mouse's are.
    {MODE_JOINTS, KEY_UP, false, 40, Drag::Right, 0, -10},
    {MODE_JOINTS, KEY_DOWN, false, 40, Drag::Right, 0, 10},
    {MODE_JOINTS, KEY_DOWN, true, 3, Drag::Right, 0, 1},
};
// clang-format on

TEST_F(Keys, EachKeyDoesWhatItsMouseActionDoesWithOneRepaintPerPress) {
  const TreeState start = TakeTreeState(root());
  const Vec3 startPosition = Position();
  for (const KeyRow& row : kKeyRows) {
    SCOPED_TRACE(::testing::Message()
                 << "mode " << row.mode << ", key " << row.key << ", shift " << row.shift);
    Restore(start, startPosition);
    view->m_nMode = row.mode;
    ClearLog();
    for (int i = 0; i < row.presses; ++i)
      EXPECT_TRUE(view->OnKeyDown(row.key, row.shift));
    EXPECT_EQ(log.repaints, row.presses);
    EXPECT_FALSE(log.captured);
    EXPECT_EQ(view->m_nDragButton, DRAG_NONE);
    const TreeState byKeys = TakeTreeState(root());
    const Vec3 keyPosition = Position();
    const float keyCentre[2] = {view->m_fCentreX, view->m_fCentreY};
    EXPECT_FALSE(SameTree(byKeys, start)) << "the keys changed nothing";

    Restore(start, startPosition);
    for (int i = 0; i < row.presses; ++i) {
      int x = 200, y = 150;
      if (row.drag == Drag::ArcballFromOrigin) OriginPixel(x, y);
      if (row.drag == Drag::Right) {
        RightDrag(*view, x, y, x + row.dx, y + row.dy);
      } else {
        LeftDrag(*view, x, y, x + row.dx, y + row.dy);
      }
    }
    EXPECT_TRUE(SameTree(byKeys, TakeTreeState(root())));
    EXPECT_TRUE(PointsNear(keyPosition, Position(), 0.0));
    // The presses project the origin into the arcball's centre alike.
    EXPECT_EQ(keyCentre[0], view->m_fCentreX);
    EXPECT_EQ(keyCentre[1], view->m_fCentreY);
  }
}

TEST_F(Keys, AnOrientationKeyTurnsAboutTheScreensAxesAndLeavesADragsAnchorAlone) {
  view->OnModeOrientation();
  view->OnLButtonDown(30, 40);  // a mouse drag in progress
  const std::array<double, 3> anchor = view->m_dAnchor;
  const Vec3 origin = Origin();
  ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
  EXPECT_EQ(view->m_dAnchor, anchor);
  EXPECT_TRUE(PointsNear(Origin(), origin, 1e-12));  // turned about its own origin
  // Right turns the front to the right: about +y, so +z goes towards +x.
  view->OnLButtonUp(30, 40);
  view->OnFileReset();
  ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
  const Vec3 front = Apply(root()->matrix, {0, 0, 1});
  EXPECT_GT(front[0], 0.05);
  EXPECT_NEAR(front[1], 0.0, 1e-9);
}

TEST_F(Keys, KeysThatMeanNothingInTheModePassOnAndChangeNothing) {
  const struct {
    int mode;
    ViewKey key;
  } rows[] = {{MODE_POSITION, KEY_SPACE},      {MODE_ORIENTATION, KEY_SPACE},
              {MODE_ORIENTATION, KEY_PAGE_UP}, {MODE_ORIENTATION, KEY_PAGE_DOWN},
              {MODE_JOINTS, KEY_PAGE_UP},      {MODE_JOINTS, KEY_PAGE_DOWN},
              {MODE_JOINTS, KEY_SPACE}};  // Space before the cursor has been shown
  for (const auto& row : rows) {
    view->m_nMode = row.mode;
    const TreeState before = TakeTreeState(root());
    EXPECT_FALSE(view->OnKeyDown(row.key, false)) << row.mode << " " << row.key;
    EXPECT_TRUE(SameTree(TakeTreeState(root()), before));
  }
  EXPECT_EQ(log.repaints, 0);
  EXPECT_EQ(view->OutlinedPart(), nullptr);
}

TEST_F(Keys, TheCursorWalksTheSelectablePartsInTreeOrderBothWaysRound) {
  const std::vector<std::string> order = {
      "RightThigh", "RightShin",    "RightFoot",   "LeftThigh",     "LeftShin",
      "LeftFoot",   "Neck",         "Head",        "RightUpperArm", "RightForearm",
      "RightHand",  "LeftUpperArm", "LeftForearm", "LeftHand"};
  view->OnModeJoints();
  EXPECT_EQ(view->OutlinedPart(), nullptr);  // invisible until the first Left or Right
  ClearLog();
  for (size_t i = 0; i <= order.size(); ++i) {
    ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, i % 2 == 0));  // Shift makes no difference here
    EXPECT_EQ(view->OutlinedPart(), Part(root(), order[i % order.size()])) << i;
  }
  EXPECT_EQ(log.repaints, static_cast<long>(order.size()) + 1);
  // From the first part, Left wraps round to the last, and Right back again.
  ASSERT_TRUE(view->OnKeyDown(KEY_LEFT, false));
  EXPECT_EQ(view->OutlinedPart(), Part(root(), order.back()));
  ASSERT_TRUE(view->OnKeyDown(KEY_LEFT, false));
  EXPECT_EQ(view->OutlinedPart(), Part(root(), order[order.size() - 2]));
  ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
  ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
  EXPECT_EQ(view->OutlinedPart(), Part(root(), order.front()));
}

TEST_F(Keys, SpaceTogglesThePartUnderTheCursorAndUpDownBendItOnceSelected) {
  view->OnModeJoints();
  ForEachNode(root(), [](PartNode* n) { n->selected = 0; });
  ASSERT_TRUE(view->OnKeyDown(KEY_LEFT, false));  // the first Left starts at the last part
  PartNode* hand = Part(root(), "LeftHand");
  ASSERT_EQ(view->OutlinedPart(), hand);
  ClearLog();
  ASSERT_TRUE(view->OnKeyDown(KEY_SPACE, false));
  EXPECT_EQ(hand->selected, 1);
  EXPECT_EQ(log.repaints, 1);
  const double angle = hand->angle;
  ASSERT_TRUE(view->OnKeyDown(KEY_UP, false));  // as a drag upwards: -10 units
  EXPECT_EQ(hand->angle, angle - 10.0);
  ASSERT_TRUE(view->OnKeyDown(KEY_SPACE, true));
  EXPECT_EQ(hand->selected, 0);
  ASSERT_TRUE(view->OnKeyDown(KEY_DOWN, false));  // nothing selected: nothing bends
  EXPECT_EQ(hand->angle, angle - 10.0);
  EXPECT_EQ(log.repaints, 4);
}

TEST_F(Keys, TheCursorHidesOnClicksAndModeChangesAndStaysThroughResetJoints) {
  using Action = void (*)(CTobrinView&);
  const struct {
    const char* what;
    Action action;
    bool hides;
  } rows[] = {
      {"left click", [](CTobrinView& v) { LeftDrag(v, 5, 5, 5, 5); }, true},
      {"right click", [](CTobrinView& v) { RightDrag(v, 5, 5, 5, 5); }, true},
      {"Joints again", [](CTobrinView& v) { v.OnModeJoints(); }, true},
      {"Orientation", [](CTobrinView& v) { v.OnModeOrientation(); }, true},
      {"Position", [](CTobrinView& v) { v.OnModePosition(); }, true},
      {"Reset Joints", [](CTobrinView& v) { v.OnFileResetJoints(); }, false},
      {"Reset", [](CTobrinView& v) { v.OnFileReset(); }, false},
  };
  for (const auto& row : rows) {
    view->OnModeJoints();
    ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
    const PartNode* at = view->OutlinedPart();
    ASSERT_NE(at, nullptr);
    row.action(*view);
    if (!row.hides) {
      EXPECT_EQ(view->OutlinedPart(), at) << row.what;
      continue;
    }
    EXPECT_FALSE(view->m_bKeyCursorShown) << row.what;
    view->m_nMode = MODE_JOINTS;
    EXPECT_EQ(view->OutlinedPart(), nullptr) << row.what;
    const unsigned char selected = Part(root(), "Neck")->selected;
    EXPECT_FALSE(view->OnKeyDown(KEY_SPACE, false)) << row.what;  // a hidden cursor selects nothing
    EXPECT_EQ(Part(root(), "Neck")->selected, selected);
    // The next Right shows it again, one part further on.
    ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
    ASSERT_TRUE(view->OnKeyDown(KEY_LEFT, false));
    EXPECT_EQ(view->OutlinedPart(), at) << row.what;
  }
}

TEST_F(Keys, TheDescriptionSaysTheModeTheSelectedPartsAndTheCursor) {
  ForEachNode(root(), [](PartNode* n) { n->selected = 0; });
  view->OnModeOrientation();
  EXPECT_EQ(view->Description(), "Orientation mode. No part selected.");
  view->OnModePosition();
  EXPECT_EQ(view->Description(), "Position mode. No part selected.");
  view->OnModeJoints();
  Part(root(), "LeftHand")->selected = 1;
  Part(root(), "Neck")->selected = 1;
  EXPECT_EQ(view->Description(), "Joints mode. Selected: neck, left hand.");
  ASSERT_TRUE(view->OnKeyDown(KEY_RIGHT, false));
  EXPECT_EQ(view->Description(),
            "Joints mode. Selected: neck, left hand. Keyboard cursor on the right thigh.");
}

TEST_F(Keys, NoKeyWorksBeforeTheViewIsCreated) {
  HostLog otherLog;
  HeadlessViewHost noGL(nullptr, otherLog);
  CTobrinView uncreated(noGL);
  for (int key = KEY_LEFT; key <= KEY_SPACE; ++key)
    EXPECT_FALSE(uncreated.OnKeyDown(static_cast<ViewKey>(key), false));
  EXPECT_EQ(otherLog.repaints, 0);
}

}  // namespace
