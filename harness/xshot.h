// Screenshots of X windows, for the end-to-end tests.
#pragma once

#include <string>

#include "harness/png_io.h"

// Grabs a window (or the whole screen for 0) of the X display `display` (null: $DISPLAY) as it
// shows on the screen: with whatever lies over it (menus, dialogs), and as a compositing window
// manager has drawn it. Parts of the window off the screen are black.
// False, with *error set, when the display or window cannot be read.
bool GrabWindow(const char* display, unsigned long window, RgbaImage* image, std::string* error);

// Where a top-level window's client area lies on the screen, and the frame that a window manager
// declares around it (_NET_FRAME_EXTENTS; all 0 without one).
struct WindowPlacement {
  int x = 0, y = 0, width = 0, height = 0;
  int left = 0, right = 0, top = 0, bottom = 0;
};
bool PlaceWindow(const char* display, unsigned long window, WindowPlacement* placement,
                 std::string* error);
