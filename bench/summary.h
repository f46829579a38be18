// The benchmark summary: names of the measured cases and the table of figures, ratios and
// targets printed after a run.
#pragma once

#include <map>
#include <string>

namespace tobrin_bench {

struct AreaSize {
  int width;
  int height;
};

// The drawing area of the 500 x 500 window, full HD and 4K.
inline constexpr AreaSize kAreaSizes[3] = {{500, 453}, {1920, 1080}, {3840, 2160}};

// Figures in the scaling crowds: 17 to 17,000 boxes.
inline constexpr int kCrowdSizes[4] = {1, 10, 100, 1000};

// "frame/figure/500x453", "crowd/pick/100/500x453".
std::string BenchName(const std::string& what, const AreaSize& size);
std::string CrowdName(const std::string& what, int figures, const AreaSize& size);

// Seconds per iteration by benchmark name.
using Timings = std::map<std::string, double>;

// One target checked against a measured figure.
struct Verdict {
  bool measured;  // false when a figure it needs is missing from the run
  bool met;
};

// Lower is better: met when value <= limit.
Verdict AtMost(double value, double limit);

// A target's column: "met", "**missed**" or "not measured".
std::string VerdictText(const Verdict& v);

// `value` with `decimals` digits after the point: Fixed(3.14159, 2) is "3.14".
std::string Fixed(double value, int decimals);

// A ratio with `decimals` digits and an "x": "1.25x"; "-" for NaN.
std::string RatioText(double ratio, int decimals);

// Exponent of growth between two costs at sizes n1 < n2: log(c2 / c1) / log(n2 / n1); 1 is
// linear. NaN when either cost is not positive.
double GrowthExponent(double c1, double n1, double c2, double n2);

// "412 ns", "3.10 us", "1.25 ms".
std::string FormatTime(double seconds);

// The summary as Markdown tables: frames against the empty frame, mouse work against a frame
// and against its time limits, and the scaling with boxes and pixels. Names missing from
// `timings` show as "not measured" and their targets as not met. `renderer` is the OpenGL
// renderer's name.
std::string FormatSummary(const Timings& timings, const std::string& renderer);

}  // namespace tobrin_bench
