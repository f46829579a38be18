#include "tests/support/image_compare.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace tobrin_test {

namespace {

std::string OutputDir() {
  const std::string dir = std::string(TOBRIN_TEST_OUTPUT_DIR) + "/test-images";
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace

Rgb PixelAt(const RgbaImage& image, int x, int y) {
  const size_t i = (static_cast<size_t>(y) * image.width + x) * 4;
  return {image.pixels[i], image.pixels[i + 1], image.pixels[i + 2]};
}

::testing::AssertionResult ColourNear(const Rgb& a, const Rgb& e, int tolerance) {
  if (std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
      std::abs(a.b - e.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "colour (" << a.r << ", " << a.g << ", " << a.b << "), expected (" << e.r << ", " << e.g
         << ", " << e.b << ") within " << tolerance;
}

::testing::AssertionResult MatchesBaseline(const std::string& name, const RgbaImage& actual,
                                           ImageTolerance tolerance) {
  const std::string baselinePath = std::string(TOBRIN_BASELINE_DIR) + "/" + name + ".png";
  const std::string actualPath = OutputDir() + "/" + name + ".actual.png";
  RgbaImage baseline;
  std::string error;
  if (!ReadPng(baselinePath, &baseline, &error)) {
    WritePng(actualPath, actual, nullptr);
    return ::testing::AssertionFailure()
           << "no baseline (" << error << "); the actual image is at " << actualPath;
  }
  if (baseline.width != actual.width || baseline.height != actual.height) {
    WritePng(actualPath, actual, nullptr);
    return ::testing::AssertionFailure()
           << "size " << actual.width << "x" << actual.height << ", baseline " << baseline.width
           << "x" << baseline.height << "; actual image at " << actualPath;
  }
  RgbaImage diff{actual.width, actual.height, std::vector<unsigned char>(actual.pixels.size())};
  long mismatched = 0;
  int worst = 0;
  for (size_t p = 0; p < actual.pixels.size(); p += 4) {
    int d = 0;
    for (int c = 0; c < 3; ++c)
      d = std::max(d, std::abs(actual.pixels[p + c] - baseline.pixels[p + c]));
    worst = std::max(worst, d);
    if (d > tolerance.channel) ++mismatched;
    const unsigned char v = static_cast<unsigned char>(std::min(255, d * 8));
    diff.pixels[p] = v;
    diff.pixels[p + 1] = d > tolerance.channel ? 0 : v;
    diff.pixels[p + 2] = d > tolerance.channel ? 0 : v;
    diff.pixels[p + 3] = 255;
  }
  const long allowed =
      static_cast<long>(tolerance.mismatchedFraction * actual.width * actual.height);
  if (mismatched <= allowed) return ::testing::AssertionSuccess();
  const std::string diffPath = OutputDir() + "/" + name + ".diff.png";
  WritePng(actualPath, actual, nullptr);
  WritePng(diffPath, diff, nullptr);
  return ::testing::AssertionFailure()
         << mismatched << " pixels differ by more than " << tolerance.channel << " (allowed "
         << allowed << ", worst " << worst << "); actual " << actualPath << ", difference "
         << diffPath;
}

}  // namespace tobrin_test
