// Observes the tree's allocations through replaced global operator new and delete: the order
// in which a tree is freed, that everything is freed, and that a build that runs out of memory
// part-way leaves nothing behind. Kept in its own executable so the replacement touches no
// other test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "model/figure.h"
#include "model/part_node.h"

namespace {

bool g_tracking = false;
long g_live = 0;                        // allocations minus frees while tracking
long g_failAt = -1;                     // the allocation that throws, counted from 0; -1 for none
long g_allocations = 0;                 // allocations while tracking
std::vector<void*>* g_freed = nullptr;  // order of frees while tracking, if wanted

}  // namespace

void* operator new(std::size_t size) {
  if (g_tracking) {
    if (g_allocations++ == g_failAt) throw std::bad_alloc();
    ++g_live;
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  if (g_tracking) {
    --g_live;
    if (g_freed != nullptr) {
      g_tracking = false;  // the vector's own growth is not part of the tree
      g_freed->push_back(p);
      g_tracking = true;
    }
  }
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace {

class Tracking {
 public:
  explicit Tracking(long failAt = -1) {
    g_live = 0;
    g_allocations = 0;
    g_failAt = failAt;
    g_tracking = true;
  }
  ~Tracking() {
    g_tracking = false;
    g_failAt = -1;
  }
};

TEST(TreeOwnership, FreesInstanceThenSiblingsThenChildrenDepthFirst) {
  // node N with instance I (I has child Ic), next S1 -> S2 (S1 has instance S1i and child
  // S1c, S2 has child S2c) and first child C (C has sibling C2).
  auto* node = new PartNode;
  auto *I = new PartNode, *Ic = new PartNode;
  auto *S1 = new PartNode, *S1i = new PartNode, *S1c = new PartNode;
  auto *S2 = new PartNode, *S2c = new PartNode;
  auto *C = new PartNode, *C2 = new PartNode;
  node->kind = NODE_INSTANCE;
  node->instance = I;
  AddChild(I, Ic);
  node->next = S1;
  S1->next = S2;
  S1->kind = NODE_INSTANCE;
  S1->instance = S1i;
  AddChild(S1, S1c);
  AddChild(S2, S2c);
  AddChild(node, C2);
  AddChild(node, C);  // C first, then C2

  // Destroying a node: its instance's subtree, then the rest of its chain, then its children;
  // each owned node is freed right after what it owns.
  const std::vector<void*> expected = {Ic, I, S1i, S2c, S2, S1c, S1, C2, C, node};
  std::vector<void*> freed;
  freed.reserve(32);
  {
    Tracking tracking;
    g_freed = &freed;
    delete node;
    g_freed = nullptr;
    EXPECT_EQ(g_live, -10);
  }
  EXPECT_EQ(freed, expected);
}

TEST(TreeOwnership, BuildAndDestroyOfTheFigureFreesEveryNode) {
  Tracking tracking;
  {
    PartNodePtr root = BuildFigure();
    EXPECT_EQ(g_live, 18);
  }
  EXPECT_EQ(g_live, 0);
}

TEST(TreeOwnership, RunningOutOfMemoryDuringTheBuildLeaksNothing) {
  for (long failAt = 0; failAt < 18; ++failAt) {
    Tracking tracking(failAt);
    EXPECT_THROW(BuildFigure(), std::bad_alloc) << "failing allocation " << failAt;
    EXPECT_EQ(g_live, 0) << "failing allocation " << failAt;
  }
  Tracking tracking(18);
  EXPECT_NO_THROW(BuildFigure());
  EXPECT_EQ(g_live, 0);
}

}  // namespace
