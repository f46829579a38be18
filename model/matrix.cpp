#include "model/matrix.h"

#include <algorithm>
#include <cmath>

void MultiplyMatrices(const Matrix4 a, const Matrix4 b, Matrix4 out) {
  double product[16];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k)
        sum += a[4 * i + k] * b[4 * k + j];
      product[4 * i + j] = sum;
    }
  }
  std::copy(product, product + 16, out);
}

void TransposeForGL(const Matrix4 m, double out[16]) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j)
      out[4 * j + i] = m[4 * i + j];
  }
}

void MakeIdentity(Matrix4 m) {
  for (int i = 0; i < 16; ++i)
    m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void CopyMatrix(const Matrix4 src, Matrix4 dst) {
  std::copy(src, src + 16, dst);
}

void MakeTranslation(Matrix4 m, double x, double y, double z) {
  MakeIdentity(m);
  m[3] = x;
  m[7] = y;
  m[11] = z;
}

void MakeRotation(Matrix4 m, double angle, double x, double y, double z) {
  MakeIdentity(m);
  const double length = std::sqrt(x * x + y * y + z * z);
  if (!(length > 0.0)) return;

  // A unit quaternion for half the turn, converted to the rotation block.
  const double h = angle * HALF_TURN_PER_UNIT;
  const double f = std::sin(h) / length;
  const double qx = x * f;
  const double qy = y * f;
  const double qz = z * f;
  const double w = std::cos(h);

  m[0] = 1.0 - 2.0 * (qy * qy + qz * qz);
  m[1] = 2.0 * (qx * qy - w * qz);
  m[2] = 2.0 * (qx * qz + w * qy);
  m[4] = 2.0 * (qx * qy + w * qz);
  m[5] = 1.0 - 2.0 * (qx * qx + qz * qz);
  m[6] = 2.0 * (qy * qz - w * qx);
  m[8] = 2.0 * (qx * qz - w * qy);
  m[9] = 2.0 * (qy * qz + w * qx);
  m[10] = 1.0 - 2.0 * (qx * qx + qy * qy);
}

void MakeTurnAbout(Matrix4 out, const Matrix4 rotation, double x, double y, double z) {
  Matrix4 toPoint, fromPoint, temp;
  MakeTranslation(fromPoint, -x, -y, -z);
  MakeTranslation(toPoint, x, y, z);
  MultiplyMatrices(rotation, fromPoint, temp);
  MultiplyMatrices(toPoint, temp, out);
}

void OrthonormalizeRotation(Matrix4 m) {
  // Columns of the 3x3 block.
  double c[3][3];
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i)
      c[j][i] = m[4 * i + j];
  }
  const auto dot = [](const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  };
  const auto normalize = [&](double* v) {
    const double len = std::sqrt(dot(v, v));
    if (len > 0.0) {
      for (int i = 0; i < 3; ++i)
        v[i] /= len;
    }
  };
  normalize(c[0]);
  double d = dot(c[0], c[1]);
  for (int i = 0; i < 3; ++i)
    c[1][i] -= d * c[0][i];
  normalize(c[1]);
  // The third column follows from the first two, which also keeps the frame right-handed.
  c[2][0] = c[0][1] * c[1][2] - c[0][2] * c[1][1];
  c[2][1] = c[0][2] * c[1][0] - c[0][0] * c[1][2];
  c[2][2] = c[0][0] * c[1][1] - c[0][1] * c[1][0];
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i)
      m[4 * i + j] = c[j][i];
  }
}
