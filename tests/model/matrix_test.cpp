#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>

#include "model/matrix.h"
#include "tests/support/matrix_checks.h"

namespace {

using namespace tobrin_test;

TEST(AngleUnit, ConstantsAreTheOnesDerivedFromPiTakenAs3_1415) {
  // Exact double equality: the arcball's scale must be 360 x (1 / 3.1415), not 360 / 3.1415.
  EXPECT_EQ(UNITS_PER_RADIAN, 360.0 * (1.0 / 3.1415));
  EXPECT_NE(UNITS_PER_RADIAN, 360.0 / 3.1415);
  EXPECT_DOUBLE_EQ(HALF_TURN_PER_UNIT, 3.1415 / 720.0);
}

TEST(MakeRotation, AngleZeroIsTheIdentityForAnyAxis) {
  const Vec3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 3}, {1, -2, 0.5}, {-7, 7, 7}};
  for (const Vec3& a : axes) {
    Matrix4 m;
    MakeRotation(m, 0.0, a[0], a[1], a[2]);
    EXPECT_TRUE(MatricesNear(m, kIdentity, 0.0)) << a[0] << ", " << a[1] << ", " << a[2];
  }
}

TEST(MakeRotation, HalfTurnUnitsTurnAlmostNinetyDegrees) {
  Matrix4 m;
  MakeRotation(m, 180.0, 1.0, 0.0, 0.0);
  // 180 units are 89.997 degrees: cos and sin of 1.57075 rad.
  EXPECT_NEAR(m[5], 0.0000463, 1e-7);
  EXPECT_NEAR(m[5], 4.632679488e-5, 1e-13);
  EXPECT_NEAR(m[9], 0.99999999893, 1e-10);
  EXPECT_NEAR(m[6], -0.99999999893, 1e-10);
  EXPECT_EQ(m[0], 1.0);
  // 360 units are 179.99469 degrees, 720 units fall 0.0106 degrees short of a full turn.
  MakeRotation(m, 360.0, 0.0, 0.0, 1.0);
  EXPECT_NEAR(std::atan2(m[4], m[0]) * 180.0 / M_PI, 179.99469, 1e-5);
  MakeRotation(m, 720.0, 0.0, 0.0, 1.0);
  EXPECT_NEAR(std::atan2(m[4], m[0]) * 180.0 / M_PI, -0.0106, 1e-4);
}

TEST(MakeRotation, IsRightHanded) {
  Matrix4 m;
  MakeRotation(m, 180.0, 1.0, 0.0, 0.0);
  EXPECT_TRUE(PointsNear(Apply(m, {0, 1, 0}), {0, 0, 1}, 1e-4));   // +y toward +z
  EXPECT_TRUE(PointsNear(Apply(m, {0, 0, 1}), {0, -1, 0}, 1e-4));  // +z toward -y
  MakeRotation(m, 180.0, 0.0, 1.0, 0.0);
  EXPECT_TRUE(PointsNear(Apply(m, {0, 0, 1}), {1, 0, 0}, 1e-4));  // about y: +z toward +x
  MakeRotation(m, 180.0, 0.0, 0.0, 1.0);
  EXPECT_TRUE(PointsNear(Apply(m, {1, 0, 0}), {0, 1, 0}, 1e-4));  // about z: +x toward +y
}

TEST(MakeRotation, OppositeAnglesAreInverseAndAxisLengthDoesNotMatter) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-3.0, 3.0), angle(-900.0, 900.0);
  for (int trial = 0; trial < 200; ++trial) {
    const double x = coord(rng), y = coord(rng), z = coord(rng), a = angle(rng);
    Matrix4 forward, back, product;
    MakeRotation(forward, a, x, y, z);
    MakeRotation(back, -a, x, y, z);
    MultiplyMatrices(forward, back, product);
    EXPECT_TRUE(MatricesNear(product, kIdentity, 1e-12));

    Matrix4 scaled;
    MakeRotation(scaled, a, 2.5 * x, 2.5 * y, 2.5 * z);
    EXPECT_TRUE(MatricesNear(scaled, forward, 1e-14));
    EXPECT_LT(OrthonormalityError(forward), 1e-14);
  }
  Matrix4 a, b;
  MakeRotation(a, 33.0, 0, 0, 2);
  MakeRotation(b, 33.0, 0, 0, 1);
  EXPECT_TRUE(MatricesNear(a, b, 0.0));
}

TEST(MakeRotation, ZeroAxisGivesTheIdentityRatherThanNaN) {
  Matrix4 m;
  MakeRotation(m, 90.0, 0.0, 0.0, 0.0);
  EXPECT_TRUE(MatricesNear(m, kIdentity, 0.0));
  MakeRotation(m, 90.0, -0.0, 0.0, -0.0);
  EXPECT_TRUE(MatricesNear(m, kIdentity, 0.0));
}

TEST(MakeRotation, WritesEveryElement) {
  Matrix4 m;
  std::fill(std::begin(m), std::end(m), 42.0);
  MakeRotation(m, 10.0, 0.0, 1.0, 0.0);
  for (int k : {3, 7, 11, 12})
    EXPECT_EQ(m[k], 0.0) << k;
  EXPECT_EQ(m[15], 1.0);
  MakeTranslation(m, 1, 2, 3);
  const Matrix4 t = {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1};
  EXPECT_TRUE(MatricesNear(m, t, 0.0));
}

TEST(MultiplyMatrices, ComposesTranslationsAndRightFactorActsFirst) {
  Matrix4 a, b, out;
  MakeTranslation(a, 1, 2, 3);
  MakeTranslation(b, 4, 5, 6);
  MultiplyMatrices(a, b, out);
  Matrix4 expected;
  MakeTranslation(expected, 5, 7, 9);
  EXPECT_TRUE(MatricesNear(out, expected, 0.0));

  // Rotate then translate: T x R takes (1, 0, 0) to R(1, 0, 0) + t.
  Matrix4 r, t;
  MakeRotation(r, 180.0, 0, 0, 1);
  MakeTranslation(t, 10, 0, 0);
  MultiplyMatrices(t, r, out);
  EXPECT_TRUE(PointsNear(Apply(out, {1, 0, 0}), {10, 1, 0}, 1e-4));
  MultiplyMatrices(r, t, out);
  EXPECT_TRUE(PointsNear(Apply(out, {1, 0, 0}), {0, 11, 0}, 1e-3));
}

TEST(MultiplyMatrices, OutputMayBeOneOfTheInputs) {
  Matrix4 a, b, expected;
  MakeRotation(a, 40.0, 1, 2, 3);
  MakeTranslation(b, 1, -2, 4);
  MultiplyMatrices(a, b, expected);
  Matrix4 left;
  CopyMatrix(a, left);
  MultiplyMatrices(left, b, left);
  EXPECT_TRUE(MatricesNear(left, expected, 0.0));
  Matrix4 right;
  CopyMatrix(b, right);
  MultiplyMatrices(a, right, right);
  EXPECT_TRUE(MatricesNear(right, expected, 0.0));
}

TEST(TransposeForGL, PutsTheTranslationAtTwelveThirteenFourteen) {
  Matrix4 t;
  MakeTranslation(t, 1.5, -2.5, 3.5);
  double gl[16];
  TransposeForGL(t, gl);
  const double expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.5, -2.5, 3.5, 1};
  EXPECT_TRUE(ValuesNear(gl, expected, 16, 0.0));

  Matrix4 r;
  MakeRotation(r, 77.0, 1, 1, 0);
  TransposeForGL(r, gl);
  for (int k = 0; k < 16; ++k)  // element k of OpenGL's is row k % 4, column k / 4
    EXPECT_EQ(gl[k], r[4 * (k % 4) + k / 4]) << k;
}

TEST(MakeTurnAbout, LeavesThePointInPlaceAndTurnsAsTheRotation) {
  const Vec3 p = {0.3, -1.7, 2.2};
  Matrix4 r, joint;
  MakeRotation(r, 123.0, 0.4, -1.0, 0.2);
  MakeTurnAbout(joint, r, p[0], p[1], p[2]);
  EXPECT_TRUE(PointsNear(Apply(joint, p), p, 1e-14));
  EXPECT_FALSE(PointsNear(Apply(joint, {0, 0, 0}), {0, 0, 0}, 1e-3));
  for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10})  // the rotation block
    EXPECT_EQ(joint[k], r[k]) << k;
  EXPECT_EQ(joint[15], 1.0);
}

TEST(OrthonormalizeRotation, RestoresARigidBlockAndKeepsTheTranslation) {
  Matrix4 m;
  MakeRotation(m, 61.0, 1, 2, -1);
  m[3] = 4.0;
  m[7] = -5.0;
  m[11] = 6.0;
  Matrix4 original;
  CopyMatrix(m, original);
  // Drift the block the way long chains of products do, only more.
  for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10})
    m[k] *= 1.0 + 1e-7 * (k + 1);
  ASSERT_GT(OrthonormalityError(m), 1e-7);
  OrthonormalizeRotation(m);
  EXPECT_LT(OrthonormalityError(m), 1e-15);
  EXPECT_TRUE(MatricesNear(m, original, 1e-5));
  EXPECT_EQ((Vec3{m[3], m[7], m[11]}), (Vec3{4, -5, 6}));
  // Right-handed: the determinant stays +1.
  const double det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
                     m[2] * (m[4] * m[9] - m[5] * m[8]);
  EXPECT_NEAR(det, 1.0, 1e-14);
}

}  // namespace
