// Interaction modes, drag states and the constants of the mouse.
#pragma once

#include "model/matrix.h"

enum InteractionMode {
  MODE_POSITION = 1,     // drags move the figure
  MODE_ORIENTATION = 2,  // a left drag turns it with the arcball
  MODE_JOINTS = 3,       // left clicks pick parts, a vertical right drag bends them
};

enum DragButton {
  DRAG_NONE = 0,
  DRAG_LEFT = 1,
  DRAG_RIGHT = 2,
};

// Scene units of translation per pixel of pointer motion in Position mode.
inline constexpr double POSITION_STEP = 0.02;

// The arcball's radius is this share of half the drawing area's width.
inline constexpr double ARCBALL_RADIUS_FACTOR = 0.5;

// Turns a turn in radians into the angle units MakeRotation takes: 360 x (1 / 3.1415).
inline constexpr double ARCBALL_ANGLE_SCALE = UNITS_PER_RADIAN;
