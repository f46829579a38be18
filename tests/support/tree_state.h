// A snapshot of what the user can change in the part tree (every node's matrix, joint angle
// and selection, in drawing order), for tests that check what an action changed or kept.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "tests/support/figure_table.h"
#include "tests/support/matrix_checks.h"

namespace tobrin_test {

using TreeState = std::vector<std::array<double, 18>>;  // matrix, angle, selected

inline TreeState TakeTreeState(PartNode* root) {
  TreeState state;
  ForEachNode(root, [&](PartNode* n) {
    std::array<double, 18> v{};
    std::copy(n->matrix, n->matrix + 16, v.begin());
    v[16] = n->angle;
    v[17] = n->selected;
    state.push_back(v);
  });
  return state;
}

// Success when the trees have as many nodes and every value is within `tol`; otherwise the
// first difference.
inline ::testing::AssertionResult SameTree(const TreeState& a, const TreeState& b,
                                           double tol = 0.0) {
  if (a.size() != b.size()) {
    return ::testing::AssertionFailure() << a.size() << " nodes vs " << b.size();
  }
  for (size_t i = 0; i < a.size(); ++i) {
    auto result = ValuesNear(a[i].data(), b[i].data(), 18, tol);
    if (!result) return result << " of node " << i << " (16: angle, 17: selected)";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace tobrin_test
