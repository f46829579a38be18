// The arcball: a virtual sphere centred on the projected figure origin, a quarter of the
// drawing area's width in radius. A left drag turns the figure about its own origin, in scene
// axes, by the rotation that carries the press's sphere vector to the pointer's.
#include <cmath>

#include "view/tobrin_view.h"

std::array<double, 3> CTobrinView::MapToArcball(int x, int y) const {
  const double dx = x - static_cast<double>(m_fCentreX);
  const double dy = (m_nHeight - static_cast<double>(m_fCentreY)) - y;  // y upwards
  const double d = std::sqrt(dx * dx + dy * dy);
  // Half the width in whole pixels, as the radius has always been measured.
  const double r = (m_nWidth / 2) * ARCBALL_RADIUS_FACTOR;
  // An area too small to hold a sphere maps everything to its front, so nothing turns.
  if (!(r > 0.0) || m_nHeight <= 0) return {0.0, 0.0, 1.0};
  if (r >= d) {
    const double vx = dx / r;
    const double vy = dy / r;
    double s = vx * vx + vy * vy;
    if (s > 1.0) s = 1.0;
    return {vx, vy, std::sqrt(1.0 - s)};
  }
  return {dx / d, dy / d, 0.0};  // outside the circle: on the sphere's rim
}

void CTobrinView::BeginArcball(int x, int y) {
  ProjectCentre();
  m_dAnchor = MapToArcball(x, y);
}

void CTobrinView::TrackArcball(int x, int y) {
  if (m_pRoot == nullptr) return;
  const std::array<double, 3> v = MapToArcball(x, y);
  const std::array<double, 3>& a = m_dAnchor;
  double axis[3] = {a[1] * v[2] - a[2] * v[1], a[2] * v[0] - a[0] * v[2],
                    a[0] * v[1] - a[1] * v[0]};
  double dot = a[0] * v[0] + a[1] * v[1] + a[2] * v[2];
  if (dot > 1.0) {
    dot = 1.0;
  } else if (dot < -1.0) {
    dot = -1.0;
  }
  double angle = std::acos(dot) * ARCBALL_ANGLE_SCALE;
  // Equal or opposite vectors have no axis between them: no turn.
  if (axis[0] == 0.0 && axis[1] == 0.0 && axis[2] == 0.0) {
    axis[0] = 1.0;
    angle = 0.0;
  }

  // The turn about the figure's origin, which sits at the position sums.
  Matrix4 rotation, turn, temp;
  MakeRotation(rotation, angle, axis[0], axis[1], axis[2]);
  MakeTurnAbout(turn, rotation, m_dPosX, m_dPosY, m_dPosZ);
  MultiplyMatrices(turn, m_pRoot->matrix, temp);

  // Thousands of turns in a long session must leave a rigid pose: pull the rotation back to
  // orthonormal and the origin back onto the point it turned about, against rounding drift.
  OrthonormalizeRotation(temp);
  temp[3] = m_dPosX;
  temp[7] = m_dPosY;
  temp[11] = m_dPosZ;
  CopyMatrix(temp, m_pRoot->matrix);
  m_host.RequestRepaint();
}
