// The viewing transform, in the order gluLookAt takes it.
#pragma once

struct Camera {
  double eye[3];
  double centre[3];
  double up[3];
};

// The viewer's fixed camera: 10 units out on +z, looking at the origin, +y up.
inline constexpr Camera DEFAULT_CAMERA = {{0.0, 0.0, 10.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}};
