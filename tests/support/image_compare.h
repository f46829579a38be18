// Comparing rendered frames against PNG baselines kept in the repository.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "harness/png_io.h"

namespace tobrin_test {

struct ImageTolerance {
  int channel = 8;                    // largest difference of one channel that still matches
  double mismatchedFraction = 0.002;  // share of pixels allowed beyond `channel`
};

// Compares `actual` with tests/baselines/<name>.png. On a mismatch or a missing baseline the
// actual image and a difference image go to <build>/test-images/ and the result says where.
::testing::AssertionResult MatchesBaseline(const std::string& name, const RgbaImage& actual,
                                           ImageTolerance tolerance = {});

// The RGB of a pixel, x from the left and y from the top.
struct Rgb {
  int r, g, b;
};
Rgb PixelAt(const RgbaImage& image, int x, int y);

::testing::AssertionResult ColourNear(const Rgb& actual, const Rgb& expected, int tolerance);

}  // namespace tobrin_test
