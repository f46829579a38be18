// Small helpers for checking matrices in tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "model/matrix.h"
#include "model/part_node.h"

namespace tobrin_test {

using Vec3 = std::array<double, 3>;

inline const Matrix4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// M x (p, 1), dropping the homogeneous coordinate (row 3 is (0, 0, 0, 1) throughout).
inline Vec3 Apply(const Matrix4 m, const Vec3& p) {
  Vec3 r{};
  for (int i = 0; i < 3; ++i) {
    r[i] = m[4 * i] * p[0] + m[4 * i + 1] * p[1] + m[4 * i + 2] * p[2] + m[4 * i + 3];
  }
  return r;
}

// Success when every one of the n values of `a` is within `tol` of `b`'s; otherwise the first
// that is not.
inline ::testing::AssertionResult ValuesNear(const double* a, const double* b, int n, double tol) {
  const auto within = [tol](double x, double y) { return std::fabs(x - y) <= tol; };
  const auto [x, y] = std::mismatch(a, a + n, b, within);
  if (x == a + n) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "element " << x - a << ": " << *x << " vs " << *y;
}

// Element k of a matrix is the one in row k / 4, column k % 4.
inline ::testing::AssertionResult MatricesNear(const Matrix4 a, const Matrix4 b, double tol) {
  return ValuesNear(a, b, 16, tol);
}

inline ::testing::AssertionResult PointsNear(const Vec3& a, const Vec3& b, double tol) {
  return ValuesNear(a.data(), b.data(), 3, tol);
}

// T(restOffset) x T(pivot) x R(angle) x T(-pivot): however a part got to its angle, one turn by
// that angle about its joint puts it there.
inline void JointPlacement(const PartNode* n, Matrix4 out) {
  Matrix4 to, r, from;
  MakeTranslation(out, n->restOffset[0], n->restOffset[1], n->restOffset[2]);
  MakeTranslation(to, n->pivot[0], n->pivot[1], n->pivot[2]);
  MakeRotation(r, n->angle, 1, 0, 0);
  MakeTranslation(from, -n->pivot[0], -n->pivot[1], -n->pivot[2]);
  for (const double* factor : {to, r, from})
    MultiplyMatrices(out, factor, out);
}

// Success when the node's matrix is its joint placement within `tol`.
inline ::testing::AssertionResult AtJointPlacement(const PartNode* n, double tol) {
  Matrix4 placed;
  JointPlacement(n, placed);
  return MatricesNear(n->matrix, placed, tol);
}

// Largest deviation of the rotation block from orthonormal: max |R^T R - I|.
inline double OrthonormalityError(const Matrix4 m) {
  double worst = 0.0;
  for (int a = 0; a < 3; ++a) {
    for (int b = 0; b < 3; ++b) {
      double dot = 0.0;
      for (int i = 0; i < 3; ++i)
        dot += m[4 * i + a] * m[4 * i + b];
      worst = std::fmax(worst, std::fabs(dot - (a == b ? 1.0 : 0.0)));
    }
  }
  return worst;
}

}  // namespace tobrin_test
