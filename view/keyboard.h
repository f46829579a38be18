// The keys of the drawing area. Each stands for a mouse action of the current mode and goes
// through the same view operations, in the same units.
#pragma once

enum ViewKey {
  KEY_LEFT,
  KEY_RIGHT,
  KEY_UP,
  KEY_DOWN,
  KEY_PAGE_UP,
  KEY_PAGE_DOWN,
  KEY_SPACE,
};

// Pixels of pointer motion one key press stands for, without and with Shift.
inline constexpr int KEY_STEP_PIXELS = 10;
inline constexpr int KEY_FINE_STEP_PIXELS = 1;
