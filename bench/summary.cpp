#include "bench/summary.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>

namespace tobrin_bench {

namespace {

// Growth exponents up to this count as linear: measurement noise on a shared two-core machine
// moves a ratio of ten by a few per cent.
constexpr double kLinearExponent = 1.15;

std::string SizeText(const AreaSize& s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height);
}

class Table {
 public:
  explicit Table(const Timings& timings) : timings_(timings) {}

  std::optional<double> Get(const std::string& name) const {
    const auto it = timings_.find(name);
    if (it == timings_.end() || !(it->second > 0.0)) return std::nullopt;
    return it->second;
  }

  std::string TimeOf(const std::string& name) const {
    const auto t = Get(name);
    return t ? FormatTime(*t) : "not measured";
  }

 private:
  const Timings& timings_;
};

Verdict RatioAtMost(const std::optional<double>& a, const std::optional<double>& b, double limit) {
  if (!a || !b) return {false, false};
  return AtMost(*a / *b, limit);
}

std::string RatioText(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b) return "-";
  return Fixed(*a / *b, 3) + "x";
}

}  // namespace

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string VerdictText(const Verdict& v) {
  if (!v.measured) return "not measured";
  return v.met ? "met" : "**missed**";
}

std::string BenchName(const std::string& what, const AreaSize& size) {
  return what + "/" + SizeText(size);
}

std::string CrowdName(const std::string& what, int figures, const AreaSize& size) {
  return what + "/" + std::to_string(figures) + "/" + SizeText(size);
}

Verdict AtMost(double value, double limit) {
  if (std::isnan(value)) return {false, false};
  return {true, value <= limit};
}

double GrowthExponent(double c1, double n1, double c2, double n2) {
  if (!(c1 > 0.0) || !(c2 > 0.0) || !(n1 > 0.0) || !(n2 > n1)) return std::nan("");
  return std::log(c2 / c1) / std::log(n2 / n1);
}

std::string FormatTime(double seconds) {
  if (seconds < 1e-6) return Fixed(seconds * 1e9, 0) + " ns";
  if (seconds < 1e-3) return Fixed(seconds * 1e6, 2) + " us";
  if (seconds < 1.0) return Fixed(seconds * 1e3, 2) + " ms";
  return Fixed(seconds, 2) + " s";
}

std::string FormatSummary(const Timings& timings, const std::string& renderer) {
  const Table t(timings);
  std::ostringstream out;
  const AreaSize& window = kAreaSizes[0];

  out << "Renderer: " << renderer << "\n\n";

  // Frames against the floor.
  const double frameLimits[3] = {2.0, 1.5, std::nan("")};
  out << "### Frames: wall time per frame, and the figure's frame against the empty frame\n\n";
  out << "| Drawing area | Empty frame (floor) | Frame of the figure | Ratio | Target | Result |\n";
  out << "|---|---|---|---|---|---|\n";
  for (int i = 0; i < 3; ++i) {
    const AreaSize& s = kAreaSizes[i];
    const auto empty = t.Get(BenchName("frame/empty", s));
    const auto figure = t.Get(BenchName("frame/figure", s));
    out << "| " << SizeText(s) << " | " << t.TimeOf(BenchName("frame/empty", s)) << " | "
        << t.TimeOf(BenchName("frame/figure", s)) << " | " << RatioText(figure, empty) << " | ";
    if (std::isnan(frameLimits[i])) {
      out << "none | - |\n";
    } else {
      out << "<= " << Fixed(frameLimits[i], 1) << "x | "
          << VerdictText(RatioAtMost(figure, empty, frameLimits[i])) << " |\n";
    }
  }

  // Mouse work.
  const auto frame = t.Get(BenchName("frame/figure", window));
  out << "\n### Mouse work at " << SizeText(window)
      << ": against a frame of the figure of the same size, or against a time\n\n";
  out << "| Operation | Time | Against a frame | Target | Result |\n";
  out << "|---|---|---|---|---|\n";
  struct FrameShare {
    const char* label;
    std::string name;
    double limit;
  };
  const FrameShare shares[] = {
      {"PickPart, on a part", BenchName("pick/hit", window), 0.5},
      {"PickPart, on the background", BenchName("pick/miss", window), 0.5},
      {"ProjectOrigin", BenchName("project_origin", window), 0.2},
  };
  for (const FrameShare& s : shares) {
    out << "| " << s.label << " | " << t.TimeOf(s.name) << " | " << RatioText(t.Get(s.name), frame)
        << " | <= " << Fixed(s.limit, 1) << "x a frame | "
        << VerdictText(RatioAtMost(t.Get(s.name), frame, s.limit)) << " |\n";
  }
  struct TimeLimit {
    const char* label;
    std::string name;
    double limit;  // seconds, or NaN for none
  };
  const TimeLimit limits[] = {
      {"TrackArcball, one step (processor time)", "step/arcball", 2e-6},
      {"BendJoints, one step, every joint selected (processor time)", "step/bend", 2e-6},
      {"BuildFigure and its destruction (processor time)", "build_figure", std::nan("")},
  };
  for (const TimeLimit& l : limits) {
    const auto v = t.Get(l.name);
    out << "| " << l.label << " | " << t.TimeOf(l.name) << " | " << RatioText(v, frame) << " | ";
    if (std::isnan(l.limit)) {
      out << "none | - |\n";
    } else {
      out << "< " << FormatTime(l.limit) << " | "
          << VerdictText(v ? AtMost(*v, l.limit) : Verdict{false, false}) << " |\n";
    }
  }

  // Scaling with boxes.
  out << "\n### Scaling: N figures under one root (17 N boxes)\n\n";
  out << "| Figures | Boxes |";
  for (const AreaSize& s : kAreaSizes)
    out << " Frame " << SizeText(s) << " |";
  out << " PickPart " << SizeText(window) << " |\n|---|---|";
  for (size_t i = 0; i <= std::size(kAreaSizes); ++i)
    out << "---|";
  out << "\n";
  for (int n : kCrowdSizes) {
    out << "| " << n << " | " << 17 * n << " |";
    for (const AreaSize& s : kAreaSizes)
      out << " " << t.TimeOf(CrowdName("crowd/frame", n, s)) << " |";
    out << " " << t.TimeOf(CrowdName("crowd/pick", n, window)) << " |\n";
  }

  // Growth from 100 to 1,000 figures: frames above their floor, picks as they are.
  out << "\nGrowth exponent from 1,700 to 17,000 boxes (1 = linear; frames counted above the "
         "empty frame). Target: linear, exponent <= "
      << Fixed(kLinearExponent, 2) << ".\n\n";
  out << "| Cost | Per 1,000 boxes at 17,000 | Exponent | Result |\n|---|---|---|---|\n";
  const double boxes100 = 17.0 * 100, boxes1000 = 17.0 * 1000;
  const auto growthRow = [&](const std::string& label, std::optional<double> c100,
                             std::optional<double> c1000) {
    const double e =
        (c100 && c1000) ? GrowthExponent(*c100, boxes100, *c1000, boxes1000) : std::nan("");
    out << "| " << label << " | " << (c1000 ? FormatTime(*c1000 / boxes1000 * 1000.0) : "-")
        << " | " << (std::isnan(e) ? "-" : Fixed(e, 2)) << " | "
        << VerdictText(AtMost(e, kLinearExponent)) << " |\n";
  };
  for (const AreaSize& s : kAreaSizes) {
    const auto floor = t.Get(BenchName("frame/empty", s));
    const auto f100 = t.Get(CrowdName("crowd/frame", 100, s));
    const auto f1000 = t.Get(CrowdName("crowd/frame", 1000, s));
    const auto above = [&](const std::optional<double>& c) -> std::optional<double> {
      if (!c || !floor || *c <= *floor) return std::nullopt;
      return *c - *floor;
    };
    growthRow("Frame " + SizeText(s), above(f100), above(f1000));
  }
  growthRow("PickPart", t.Get(CrowdName("crowd/pick", 100, window)),
            t.Get(CrowdName("crowd/pick", 1000, window)));

  // Scaling with pixels: shown, not judged. The floor itself grows faster than the pixels
  // once a frame no longer fits the caches.
  out << "\nCost per megapixel of the drawing area (frame time / pixels):\n\n| Frame |";
  for (const AreaSize& s : kAreaSizes)
    out << " " << SizeText(s) << " |";
  out << "\n|---|";
  for (size_t i = 0; i < std::size(kAreaSizes); ++i)
    out << "---|";
  out << "\n";
  const struct {
    const char* label;
    std::string what;
    int figures;  // 0: not a crowd
  } pixelRows[] = {{"Empty", "frame/empty", 0},
                   {"The figure", "frame/figure", 0},
                   {"1,000 figures", "crowd/frame", 1000}};
  for (const auto& row : pixelRows) {
    out << "| " << row.label << " |";
    for (const AreaSize& s : kAreaSizes) {
      const auto v =
          t.Get(row.figures == 0 ? BenchName(row.what, s) : CrowdName(row.what, row.figures, s));
      const double megapixels = static_cast<double>(s.width) * s.height / 1e6;
      out << " " << (v ? FormatTime(*v / megapixels) : "-") << " |";
    }
    out << "\n";
  }
  return out.str();
}

}  // namespace tobrin_bench
