#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <utility>

#include "model/figure.h"
#include "model/joints.h"
#include "tests/support/figure_table.h"
#include "tests/support/matrix_checks.h"
#include "tests/support/tree_state.h"

namespace {

using namespace tobrin_test;

class BuiltFigure : public ::testing::Test {
 protected:
  PartNodePtr root = BuildFigure();
};

int ChildCount(const PartNode* node) {
  int n = 0;
  for (const PartNode* c = node->firstChild; c != nullptr; c = c->next)
    ++n;
  return n;
}

int ChildrenInTable(const char* name) {
  return static_cast<int>(std::count_if(
      FigureTable().begin(), FigureTable().end(),
      [&](const PartRow& r) { return r.parent != nullptr && std::string(r.parent) == name; }));
}

TEST_F(BuiltFigure, EveryNodeMatchesItsRowOfTheTable) {
  for (const PartRow& row : FigureTable()) {
    SCOPED_TRACE(row.name);
    PartNode* node = Part(root.get(), row.name);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->kind, row.kind());
    EXPECT_EQ(node->instance, nullptr);
    EXPECT_EQ(node->selectable, row.selectable ? 1 : 0);
    EXPECT_EQ(node->selected, 0);
    EXPECT_EQ(node->angle, 0.0);
    EXPECT_EQ(node->minAngle, row.minAngle);
    EXPECT_EQ(node->maxAngle, row.maxAngle);
    EXPECT_EQ(ChildCount(node), ChildrenInTable(row.name));
    EXPECT_TRUE(ValuesNear(node->restOffset, row.offset, 3, 0.0));
    EXPECT_TRUE(ValuesNear(node->pivot, row.pivot, 3, 0.0));
    if (row.kind() == NODE_BOX) {
      EXPECT_TRUE(ValuesNear(node->size, row.size, 3, 0.0));
    }
    // The matrix is the translation by the rest offset and nothing else.
    Matrix4 expected;
    MakeTranslation(expected, row.offset[0], row.offset[1], row.offset[2]);
    EXPECT_TRUE(MatricesNear(node->matrix, expected, 0.0));
    if (row.colour != Preset::None) {  // a group's colour is never read
      EXPECT_TRUE(ValuesNear(node->colour, PresetColour(row.colour), 4, 0.0));
    }
  }
}

TEST_F(BuiltFigure, HasEighteenNodesFourteenSelectable) {
  int nodes = 0, selectable = 0;
  ForEachNode(root.get(), [&](PartNode* n) {
    ++nodes;
    selectable += n->selectable;
  });
  EXPECT_EQ(root->next, nullptr);
  EXPECT_EQ(nodes, 18);
  EXPECT_EQ(selectable, 14);
}

TEST_F(BuiltFigure, PickingPathsOfHeadHandsAndFeet) {
  const std::pair<const char*, std::vector<int>> rows[] = {{"Head", {0, 1, 0, 0}},
                                                           {"LeftHand", {0, 1, 2, 0, 0}},
                                                           {"RightHand", {0, 1, 1, 0, 0}},
                                                           {"RightFoot", {0, 0, 0, 0, 0}},
                                                           {"LeftFoot", {0, 0, 1, 0, 0}}};
  for (const auto& [name, path] : rows) {
    SCOPED_TRACE(name);
    PartNode* node = NodeAt(root.get(), path);
    ASSERT_NE(node, nullptr);
    const PartRow& expected = FigureRow(name);
    EXPECT_EQ(node->size[0], expected.size[0]);
    EXPECT_EQ(node->restOffset[0], expected.offset[0]);
    EXPECT_EQ(node->restOffset[2], expected.offset[2]);
    EXPECT_EQ(node->pivot[2], expected.pivot[2]);
    EXPECT_EQ(node->firstChild, nullptr);
  }
}

TEST_F(BuiltFigure, StandsFromFeetAtMinus2_625ToHeadAt2_025AndIsWidestAtTheArms) {
  // The corners of every box, placed by the tree's matrices.
  double minY = 1e9, maxY = -1e9, maxAbsX = 0;
  ForEachNode(root.get(), [&](PartNode* n) {
    if (n->kind != NODE_BOX) return;
    Matrix4 scene;
    ASSERT_TRUE(SceneMatrix(root.get(), n, scene));
    for (int corner = 0; corner < 8; ++corner) {
      const Vec3 p = Apply(
          scene, {(corner & 1 ? 0.5 : -0.5) * n->size[0], (corner & 2 ? 0.5 : -0.5) * n->size[1],
                  (corner & 4 ? 0.5 : -0.5) * n->size[2]});
      minY = std::min(minY, p[1]);
      maxY = std::max(maxY, p[1]);
      maxAbsX = std::max(maxAbsX, std::fabs(p[0]));
    }
  });
  EXPECT_NEAR(minY, -2.625, 1e-12);
  EXPECT_NEAR(maxY, 2.025, 1e-12);
  EXPECT_NEAR(maxAbsX, 0.875, 1e-12);
}

TEST_F(BuiltFigure, EachPartTouchesItsParentAndTurnsAboutTheMeetingPoint) {
  for (const PartRow& row : FigureTable()) {
    if (!row.selectable) continue;
    SCOPED_TRACE(row.name);
    const PartNode* node = Part(root.get(), row.name);
    const PartRow& parent = FigureRow(row.parent);
    const std::string name = row.name, parentName = row.parent;
    const bool standsOnParent = name == "Neck" || name == "Head";
    const bool besideParent =
        parentName == "Hips" || (parentName == "Shoulders" && !standsOnParent);
    const double top = node->matrix[7] + 0.5 * node->size[1];
    const double bottom = node->matrix[7] - 0.5 * node->size[1];
    const double meeting = standsOnParent ? bottom : top;
    if (standsOnParent) {
      EXPECT_NEAR(bottom, 0.5 * parent.size[1], 1e-12);  // on the parent's top face
    } else if (besideParent) {
      EXPECT_NEAR(top, 0.5 * parent.size[1], 1e-12);  // tops level
    } else {
      EXPECT_NEAR(top, -0.5 * parent.size[1], 1e-12);  // hangs from the bottom face
    }
    const Vec3 pivot = Apply(node->matrix, {row.pivot[0], row.pivot[1], row.pivot[2]});
    if (name.find("Foot") != std::string::npos) {
      // Moved 0.1 forward, a foot turns about the point straight under its shin's axis.
      EXPECT_NEAR(pivot[0], 0.0, 1e-12);
      EXPECT_NEAR(pivot[2], 0.0, 1e-12);
    } else {
      EXPECT_NEAR(pivot[1], meeting, 1e-12);
      EXPECT_NEAR(pivot[0], node->matrix[3], 1e-12);
    }
  }
}

TEST_F(BuiltFigure, ResettingTheJointsRightAfterBuildingChangesNothing) {
  PartNodePtr fresh = BuildFigure();
  ResetJoints(root->firstChild);
  EXPECT_TRUE(SameTree(TakeTreeState(root.get()), TakeTreeState(fresh.get())));
  ForEachNode(root.get(), [](PartNode* n) { EXPECT_EQ(n->angle, 0.0); });
}

TEST_F(BuiltFigure, EveryPartHasTheNamePeopleUseForItAndNothingElseHasOne) {
  for (const PartRow& row : FigureTable()) {
    // "LeftUpperArm" is called "left upper arm".
    std::string words;
    for (const char* c = row.name; *c != '\0'; ++c) {
      if (std::isupper(static_cast<unsigned char>(*c)) && c != row.name) words += ' ';
      words += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    const char* name = FigurePartName(root.get(), Part(root.get(), row.name));
    if (row.parent == nullptr) {
      EXPECT_EQ(name, nullptr);
    } else {
      EXPECT_STREQ(name, words.c_str()) << row.name;
    }
  }
  PartNode stranger;
  EXPECT_EQ(FigurePartName(root.get(), &stranger), nullptr);
  EXPECT_EQ(FigurePartName(nullptr, root->firstChild), nullptr);
}

}  // namespace
