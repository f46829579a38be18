#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "model/part_node.h"
#include "tests/support/figure_table.h"
#include "tests/support/matrix_checks.h"

namespace {

using namespace tobrin_test;
using ::testing::Each;

TEST(InitPartNode, GivesABoxWithIdentityNoLinksAndZeroJoint) {
  PartNode other;
  PartNode node;
  // Junk in every field first, so the test sees what InitPartNode writes.
  node.kind = NODE_GROUP;
  node.instance = &other;
  node.next = &other;
  node.firstChild = &other;
  std::fill(std::begin(node.matrix), std::end(node.matrix), 9.0);
  node.selectable = 0;
  node.selected = 1;
  node.pivot[0] = node.pivot[1] = node.pivot[2] = 5.0;
  node.minAngle = node.maxAngle = node.angle = 3.0;
  node.colour[0] = 0.25;
  node.size[1] = 7.0;
  node.restOffset[2] = -4.0;

  InitPartNode(&node);
  EXPECT_EQ(node.kind, NODE_BOX);
  EXPECT_THAT((std::array{node.instance, node.next, node.firstChild}), Each(nullptr));
  EXPECT_TRUE(MatricesNear(node.matrix, kIdentity, 0.0));
  EXPECT_EQ(node.selectable, 1);
  EXPECT_EQ(node.selected, 0);
  EXPECT_THAT(node.pivot, Each(0.0));
  EXPECT_EQ(node.minAngle, 0.0);
  EXPECT_EQ(node.maxAngle, 0.0);
  EXPECT_EQ(node.angle, 0.0);
  // Colour, size and rest offset belong to whoever builds the node.
  EXPECT_EQ(node.colour[0], 0.25);
  EXPECT_EQ(node.size[1], 7.0);
  EXPECT_EQ(node.restOffset[2], -4.0);
}

TEST(AddChild, NewestChildTakesIndexZero) {
  PartNode parent;
  auto* a = new PartNode;
  auto* b = new PartNode;
  AddChild(&parent, a);
  AddChild(&parent, b);
  EXPECT_EQ(parent.firstChild, b);
  EXPECT_EQ(b->next, a);
  EXPECT_EQ(a->next, nullptr);
}

TEST(ColourPresets, SetTheColourAndReturnTheNode) {
  const std::pair<PartNode* (*)(PartNode*), Preset> rows[] = {{SetColourOrange, Preset::Orange},
                                                              {SetColourTeal, Preset::Teal},
                                                              {SetColourSlate, Preset::Slate}};
  for (const auto& [set, preset] : rows) {
    PartNode node;
    node.colour[3] = 0.0;
    EXPECT_EQ(set(&node), &node);
    EXPECT_TRUE(ValuesNear(node.colour, PresetColour(preset), 4, 0.0));
  }
}

TEST(DestroyPartNode, AMillionSiblingsDoNotExhaustTheStack) {
  auto root = std::make_unique<PartNode>();
  for (int i = 0; i < 1000000; ++i)
    AddChild(root.get(), new PartNode);
  // A chain under a chain: the first child also has a long list of its own.
  for (int i = 0; i < 1000; ++i)
    AddChild(root->firstChild, new PartNode);
  root.reset();  // must return; leaks, if any, are the sanitizer build's to report
  SUCCEED();
}

TEST(DestroyPartNode, ClearsTheLinksAndKeepsTheNode) {
  PartNode node;
  node.kind = NODE_INSTANCE;
  node.instance = new PartNode;
  node.next = new PartNode;
  node.firstChild = new PartNode;
  DestroyPartNode(&node);
  EXPECT_THAT((std::array{node.instance, node.next, node.firstChild}), Each(nullptr));
  EXPECT_EQ(node.kind, NODE_INSTANCE);
}

}  // namespace
