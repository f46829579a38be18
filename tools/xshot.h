// Screenshots of X windows, for end-to-end tests and the README.
#pragma once

#include <string>

#include "tools/png_io.h"

// Grabs a window (or the root window for 0) of the X display `display` (null: $DISPLAY).
// False, with *error set, when the display or window cannot be read.
bool GrabWindow(const char* display, unsigned long window, RgbaImage* image, std::string* error);
