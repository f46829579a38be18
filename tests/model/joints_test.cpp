#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/figure.h"
#include "model/joints.h"
#include "tests/support/figure_table.h"
#include "tests/support/matrix_checks.h"
#include "tests/support/tree_state.h"

namespace {

using namespace tobrin_test;

class Joints : public ::testing::Test {
 protected:
  PartNodePtr root = BuildFigure();
  PartNode* part(const std::string& name) { return Part(root.get(), name); }
};

TEST_F(Joints, NothingBendsWithoutASelectionOrANode) {
  const TreeState before = TakeTreeState(root.get());
  for (double delta : {1.0, -7.0, 100.0, 0.0})
    BendJoints(root.get(), delta);
  EXPECT_TRUE(SameTree(TakeTreeState(root.get()), before));
  BendJoints(nullptr, 5.0);
  ResetJoints(nullptr);
  ResetRootPose(nullptr);
}

TEST_F(Joints, AStepLandingOnALimitIsRefusedNotClamped) {
  PartNode node;
  InitPartNode(&node);
  node.selected = 1;
  node.minAngle = -135;
  node.maxAngle = 135;
  BendJoints(&node, 130);
  ASSERT_EQ(node.angle, 130);
  const TreeState at130 = TakeTreeState(&node);

  BendJoints(&node, 5);  // would land exactly on the limit: angle and matrix stay as they were
  EXPECT_TRUE(SameTree(TakeTreeState(&node), at130));
  // Then steps past the limit, short of it and onto it again; then the same at the lower limit.
  const std::pair<double, double> stepsAndAngles[] = {
      {10, 130}, {4, 134}, {1, 134}, {-134 - 130, -130}, {-5, -130}, {-4.5, -134.5}};
  for (const auto& [step, angle] : stepsAndAngles) {
    BendJoints(&node, step);
    EXPECT_EQ(node.angle, angle) << "after a step of " << step;
  }
}

TEST_F(Joints, RigidNodesNeverBendEvenWhenSelected) {
  for (const char* name : {"Root", "Torso", "Shoulders", "Hips"})
    part(name)->selected = 1;
  const TreeState before = TakeTreeState(root.get());
  for (double delta : {1.0, -1.0, 0.5, 300.0})
    BendJoints(root.get(), delta);
  EXPECT_TRUE(SameTree(TakeTreeState(root.get()), before));
}

TEST_F(Joints, ForearmBendsForwardAboutItsElbowAndCarriesTheHand) {
  PartNode* forearm = part("LeftForearm");
  PartNode* hand = part("LeftHand");
  forearm->selected = 1;
  const Vec3 elbow = {0, 0.3, 0};
  const Vec3 elbowBefore = Apply(forearm->matrix, elbow);
  const Vec3 wristBefore = Apply(forearm->matrix, {0, -0.3, 0});
  Matrix4 handBefore;
  CopyMatrix(hand->matrix, handBefore);

  BendJoints(root.get(), -100);
  EXPECT_EQ(forearm->angle, -100);
  EXPECT_EQ(hand->angle, 0);
  EXPECT_TRUE(PointsNear(Apply(forearm->matrix, elbow), elbowBefore, 1e-15));
  const Vec3 wrist = Apply(forearm->matrix, {0, -0.3, 0});
  EXPECT_GT(wrist[2], 0.3);  // swung forward, toward the viewer
  EXPECT_GT(wrist[1], wristBefore[1]);
  // The hand's own placement is untouched; it moves with its parent.
  EXPECT_TRUE(MatricesNear(hand->matrix, handBefore, 0.0));
}

TEST_F(Joints, PositiveStepsSwingHangingPartsBackTipTheHeadForwardAndLowerTheToes) {
  // A point of the part away from its pivot (in its own frame), and the coordinate of it that
  // a positive step moves, with the direction.
  const std::tuple<const char*, Vec3, int, double> rows[] = {
      {"RightShin", {0, -0.4, 0}, 2, -1.0},  // knee: foot end goes back (-z)
      {"LeftUpperArm", {0, -0.35, 0}, 2, -1.0},
      {"Neck", {0, 0.175, 0}, 2, 1.0},  // the top tips forward (+z)
      {"Head", {0, 0.4, 0}, 2, 1.0},
      {"LeftFoot", {0, 0, 0.25}, 1, -1.0},  // toes go down
  };
  for (const auto& [name, probe, axis, sign] : rows) {
    PartNodePtr fig = BuildFigure();
    PartNode* n = Part(fig.get(), name);
    n->selected = 1;
    const Vec3 before = Apply(n->matrix, probe);
    BendJoints(fig.get(), 20);
    const Vec3 after = Apply(n->matrix, probe);
    EXPECT_GT(sign * (after[axis] - before[axis]), 0.01) << name;
  }
}

TEST_F(Joints, NestedSelectionsTurnEachAboutItsOwnJointAndCarryTheChild) {
  PartNode* upper = part("RightUpperArm");
  PartNode* forearm = part("RightForearm");
  upper->selected = forearm->selected = 1;
  BendJoints(root.get(), -30);
  BendJoints(root.get(), -25);
  EXPECT_EQ(upper->angle, -55);
  EXPECT_EQ(forearm->angle, -55);
  EXPECT_TRUE(AtJointPlacement(upper, 1e-12));
  EXPECT_TRUE(AtJointPlacement(forearm, 1e-12));
  // In the shoulder bar's frame the elbow follows the upper arm's turn.
  Matrix4 elbowFrame;
  MultiplyMatrices(upper->matrix, forearm->matrix, elbowFrame);
  const Vec3 elbow = Apply(elbowFrame, {0, 0.3, 0});
  const Vec3 elbowViaUpper = Apply(upper->matrix, {0, -0.35, 0});
  EXPECT_TRUE(PointsNear(elbow, elbowViaUpper, 1e-12));
  EXPECT_GT(elbow[2], 0.1);
}

TEST_F(Joints, AStepAndItsOppositeReturnToTheStart) {
  for (const std::string& name : SelectableParts())
    part(name)->selected = 1;
  const TreeState before = TakeTreeState(root.get());
  BendJoints(root.get(), 13.0);
  BendJoints(root.get(), -13.0);
  EXPECT_TRUE(SameTree(TakeTreeState(root.get()), before, 1e-14));
}

TEST_F(Joints, ResetJointsRestoresConstructionAndKeepsSelectionAndPose) {
  for (const char* name : {"Head", "LeftShin", "RightHand"})
    part(name)->selected = 1;
  for (int i = 0; i < 20; ++i)
    BendJoints(root.get(), 7.0);
  Matrix4 pose;
  MakeRotation(pose, 50, 0, 1, 0);
  pose[3] = 1.5;
  CopyMatrix(pose, root->matrix);

  ResetJoints(root->firstChild);
  PartNodePtr fresh = BuildFigure();
  CopyMatrix(pose, fresh->matrix);
  for (const char* name : {"Head", "LeftShin", "RightHand"})
    Part(fresh.get(), name)->selected = 1;
  EXPECT_TRUE(SameTree(TakeTreeState(root.get()), TakeTreeState(fresh.get())));
  EXPECT_EQ(part("Head")->selected, 1);
  EXPECT_EQ(part("LeftShin")->selected, 1);
  EXPECT_EQ(part("Neck")->selected, 0);
}

TEST_F(Joints, ResetRootPoseKeepsTheBends) {
  part("LeftThigh")->selected = 1;
  BendJoints(root.get(), -40);
  Matrix4 bent;
  CopyMatrix(part("LeftThigh")->matrix, bent);
  MakeRotation(root->matrix, 99, 1, 1, 1);
  root->matrix[11] = -3.0;
  ResetRootPose(root.get());
  EXPECT_TRUE(MatricesNear(root->matrix, kIdentity, 0.0));
  EXPECT_TRUE(MatricesNear(part("LeftThigh")->matrix, bent, 0.0));
  EXPECT_EQ(part("LeftThigh")->angle, -40);
  EXPECT_EQ(part("LeftThigh")->selected, 1);
}

// Many random selections and steps: no angle ever reaches a limit and every node's matrix
// stays the closed form of its angle.
TEST_F(Joints, RandomBendsStayInsideTheLimitsAndMatchTheClosedForm) {
  std::mt19937 rng(20261207);
  const std::vector<std::string> names = SelectableParts();
  std::uniform_int_distribution<size_t> pick(0, names.size() - 1);
  std::uniform_real_distribution<double> step(-60.0, 60.0);
  std::uniform_int_distribution<int> action(0, 9);
  for (int i = 0; i < 20000; ++i) {
    const int a = action(rng);
    if (a < 3) {
      PartNode* n = part(names[pick(rng)]);
      n->selected = !n->selected;
    } else if (a == 3) {
      BendJoints(root.get(), std::round(step(rng)));  // whole pixels, as the mouse gives
    } else if (a == 9 && i % 50 == 0) {
      ResetJoints(root->firstChild);
    } else {
      BendJoints(root.get(), step(rng));
    }
    if (i % 10 != 0) continue;
    ForEachNode(root.get(), [&](PartNode* n) {
      if (n == root.get()) return;
      if (n->maxAngle != 0) {
        ASSERT_GT(n->angle, n->minAngle);
        ASSERT_LT(n->angle, n->maxAngle);
      } else {
        ASSERT_EQ(n->angle, 0.0);
      }
      ASSERT_TRUE(AtJointPlacement(n, 1e-9)) << "step " << i;
    });
    if (HasFatalFailure()) return;
  }
}

}  // namespace
