// 4x4 transform matrices of the figure model.
//
// A Matrix4 is 16 doubles, row-major: element (i, j) is m[4 * i + j]. Matrices act on column
// vectors, so the translation sits in elements (0, 3), (1, 3) and (2, 3); in a product A x B,
// B acts first.
//
// Angles are in model angle units: one unit turns by 3.1415 / 360 radians (very nearly half a
// degree). Every joint angle, joint limit and bend step uses this unit.
#pragma once

using Matrix4 = double[16];

// Half of one angle unit's turn, in radians: 3.1415 / 720.
constexpr double HALF_TURN_PER_UNIT = 0.004363194444444445;

// Angle units per radian, 360 * (1 / 3.1415): a turn of phi radians is phi * UNITS_PER_RADIAN
// angle units. (360 / 3.1415 rounds one place lower; 360 / pi is a different constant.)
constexpr double UNITS_PER_RADIAN = 114.59493872353971;

// out := a x b. Safe when out aliases a or b: the product is formed in a temporary first.
void MultiplyMatrices(const Matrix4 a, const Matrix4 b, Matrix4 out);

// out[4j + i] := m(i, j): the column-major order that glMultMatrixd takes.
void TransposeForGL(const Matrix4 m, double out[16]);

// m := the translation by (x, y, z). Writes all 16 elements.
void MakeTranslation(Matrix4 m, double x, double y, double z);

// m := the right-handed rotation by `angle` angle units about the axis (x, y, z) through the
// origin. The axis need not be of unit length. A zero axis has no direction: m becomes the
// identity rather than a matrix of NaNs. Writes all 16 elements.
void MakeRotation(Matrix4 m, double angle, double x, double y, double z);

// out := T(x, y, z) x rotation x T(-x, -y, -z): the rotation about the point (x, y, z)
// instead of the origin. `out` must not alias `rotation`.
void MakeTurnAbout(Matrix4 out, const Matrix4 rotation, double x, double y, double z);

// m := the identity.
void MakeIdentity(Matrix4 m);

// dst := src.
void CopyMatrix(const Matrix4 src, Matrix4 dst);

// Re-orthonormalises the upper-left 3x3 block of a rigid transform (Gram-Schmidt on its
// columns), leaving the translation alone. Long chains of products of rotations drift away
// from orthonormal by rounding; this pulls the block back without changing the rotation it
// represents beyond that rounding.
void OrthonormalizeRotation(Matrix4 m);
