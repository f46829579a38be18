#include "bench/summary.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace tobrin_bench {

namespace {

// Growth exponents up to this count as linear: measurement noise on a shared two-core machine
// moves a ratio of ten by a few per cent.
constexpr double kLinearExponent = 1.15;

// A figure that was not measured. Every ratio and exponent built on it is NaN too, and reads
// as "-" or "not measured".
const double kMissing = std::nan("");

std::string SizeText(const AreaSize& s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height);
}

std::string TimeOr(double seconds, const char* missing) {
  return std::isnan(seconds) ? missing : FormatTime(seconds);
}

// The Target and Result cells, "none | - |" without a limit.
std::string TargetCells(const std::string& target, double value, double limit) {
  if (std::isnan(limit)) return "none | - |";
  return target + " | " + VerdictText(AtMost(value, limit)) + " |";
}

// The separator under a header of `columns` cells.
std::string Rule(size_t columns) {
  std::string rule = "|";
  for (size_t i = 0; i < columns; ++i)
    rule += "---|";
  return rule + "\n";
}

}  // namespace

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string RatioText(double ratio, int decimals) {
  return std::isnan(ratio) ? "-" : Fixed(ratio, decimals) + "x";
}

std::string VerdictText(const Verdict& v) {
  return !v.measured ? "not measured" : v.met ? "met" : "**missed**";
}

std::string BenchName(const std::string& what, const AreaSize& size) {
  return what + "/" + SizeText(size);
}

std::string CrowdName(const std::string& what, int figures, const AreaSize& size) {
  return what + "/" + std::to_string(figures) + "/" + SizeText(size);
}

Verdict AtMost(double value, double limit) {
  return {!std::isnan(value), value <= limit};  // NaN is not <= anything
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
  const auto get = [&](const std::string& name) {
    const auto it = timings.find(name);
    return it != timings.end() && it->second > 0.0 ? it->second : kMissing;
  };
  const auto time = [&](const std::string& name) { return TimeOr(get(name), "not measured"); };
  const AreaSize& window = kAreaSizes[0];
  std::ostringstream out;
  out << "Renderer: " << renderer << "\n\n";

  // Frames against the floor.
  const double frameLimits[3] = {2.0, 1.5, kMissing};
  out << "### Frames: wall time per frame, and the figure's frame against the empty frame\n\n"
      << "| Drawing area | Empty frame (floor) | Frame of the figure | Ratio | Target | Result |\n"
      << Rule(6);
  for (int i = 0; i < 3; ++i) {
    const std::string empty = BenchName("frame/empty", kAreaSizes[i]);
    const std::string figure = BenchName("frame/figure", kAreaSizes[i]);
    const double ratio = get(figure) / get(empty);
    out << "| " << SizeText(kAreaSizes[i]) << " | " << time(empty) << " | " << time(figure) << " | "
        << RatioText(ratio, 3) << " | "
        << TargetCells("<= " + Fixed(frameLimits[i], 1) + "x", ratio, frameLimits[i]) << "\n";
  }

  // Mouse work, judged against a frame or against a time of its own.
  const double frame = get(BenchName("frame/figure", window));
  out << "\n### Mouse work at " << SizeText(window)
      << ": against a frame of the figure of the same size, or against a time\n\n"
      << "| Operation | Time | Against a frame | Target | Result |\n"
      << Rule(5);
  const struct {
    const char* label;
    std::string name;
    double limit;   // NaN for none
    bool perFrame;  // the limit is a share of a frame, else seconds
  } work[] = {
      {"PickPart, on a part", BenchName("pick/hit", window), 0.5, true},
      {"PickPart, on the background", BenchName("pick/miss", window), 0.5, true},
      {"ProjectOrigin", BenchName("project_origin", window), 0.2, true},
      {"TrackArcball, one step (processor time)", "step/arcball", 2e-6, false},
      {"BendJoints, one step, every joint selected (processor time)", "step/bend", 2e-6, false},
      {"BuildFigure and its destruction (processor time)", "build_figure", kMissing, false},
  };
  for (const auto& w : work) {
    const double v = get(w.name);
    out << "| " << w.label << " | " << time(w.name) << " | " << RatioText(v / frame, 3) << " | "
        << (w.perFrame ? TargetCells("<= " + Fixed(w.limit, 1) + "x a frame", v / frame, w.limit)
                       : TargetCells("< " + FormatTime(w.limit), v, w.limit))
        << "\n";
  }

  // Scaling with boxes.
  out << "\n### Scaling: N figures under one root (17 N boxes)\n\n| Figures | Boxes |";
  for (const AreaSize& s : kAreaSizes)
    out << " Frame " << SizeText(s) << " |";
  out << " PickPart " << SizeText(window) << " |\n" << Rule(3 + std::size(kAreaSizes));
  for (int n : kCrowdSizes) {
    out << "| " << n << " | " << 17 * n << " |";
    for (const AreaSize& s : kAreaSizes)
      out << " " << time(CrowdName("crowd/frame", n, s)) << " |";
    out << " " << time(CrowdName("crowd/pick", n, window)) << " |\n";
  }

  // Growth from 100 to 1,000 figures: frames above their floor, picks as they are.
  out << "\nGrowth exponent from 1,700 to 17,000 boxes (1 = linear; frames counted above the "
         "empty frame). Target: linear, exponent <= "
      << Fixed(kLinearExponent, 2) << ".\n\n"
      << "| Cost | Per 1,000 boxes at 17,000 | Exponent | Result |\n"
      << Rule(4);
  const double boxes100 = 17.0 * 100, boxes1000 = 17.0 * 1000;
  const auto growthRow = [&](const std::string& label, double c100, double c1000) {
    const double e = GrowthExponent(c100, boxes100, c1000, boxes1000);
    out << "| " << label << " | " << TimeOr(c1000 / boxes1000 * 1000.0, "-") << " | "
        << (std::isnan(e) ? "-" : Fixed(e, 2)) << " | " << VerdictText(AtMost(e, kLinearExponent))
        << " |\n";
  };
  for (const AreaSize& s : kAreaSizes) {
    const double floor = get(BenchName("frame/empty", s));
    const auto above = [&](int figures) {
      const double c = get(CrowdName("crowd/frame", figures, s));
      return c > floor ? c - floor : kMissing;
    };
    growthRow("Frame " + SizeText(s), above(100), above(1000));
  }
  growthRow("PickPart", get(CrowdName("crowd/pick", 100, window)),
            get(CrowdName("crowd/pick", 1000, window)));

  // Scaling with pixels: shown, not judged. The floor itself grows faster than the pixels
  // once a frame no longer fits the caches.
  out << "\nCost per megapixel of the drawing area (frame time / pixels):\n\n| Frame |";
  for (const AreaSize& s : kAreaSizes)
    out << " " << SizeText(s) << " |";
  out << "\n" << Rule(1 + std::size(kAreaSizes));
  const auto pixelRow = [&](const char* label, const auto& nameAt) {
    out << "| " << label << " |";
    for (const AreaSize& s : kAreaSizes) {
      const double megapixels = static_cast<double>(s.width) * s.height / 1e6;
      out << " " << TimeOr(get(nameAt(s)) / megapixels, "-") << " |";
    }
    out << "\n";
  };
  pixelRow("Empty", [](const AreaSize& s) { return BenchName("frame/empty", s); });
  pixelRow("The figure", [](const AreaSize& s) { return BenchName("frame/figure", s); });
  pixelRow("1,000 figures", [](const AreaSize& s) { return CrowdName("crowd/frame", 1000, s); });
  return out.str();
}

}  // namespace tobrin_bench
