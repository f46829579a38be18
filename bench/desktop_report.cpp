#include "bench/desktop_report.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "bench/summary.h"

namespace tobrin_bench {

namespace {

// a / b; NaN, which reads as not measured, when either is missing or b is not positive.
double Ratio(double a, double b) {
  return b > 0 ? a / b : std::nan("");
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string FormatStartupSummary(const DesktopResults& r, int runs, const std::string& server) {
  std::ostringstream out;
  const bool figure = !r.figureStartup.seconds.empty();
  out << "### Start-up, " << server << ": median of " << runs << " runs each\n\n";
  out << "| Measure | tobrin | Minimal wxGLCanvas window (floor) | Ratio |";
  if (figure) out << " Floor window drawing the figure | Its ratio to the floor |";
  out << " Target | Result |\n|---|---|---|---|";
  if (figure) out << "---|---|";
  out << "---|---|\n";
  // One measure of the three programs, its medians shown times `scale` in `unit`.
  const auto row = [&](const char* measure, std::vector<double> StartupSamples::*samples,
                       double scale, const char* unit, double limit) {
    const double t = Median(r.tobrinStartup.*samples), f = Median(r.floorStartup.*samples);
    const double g = Median(r.figureStartup.*samples);
    const auto value = [&](double v) {
      return std::isnan(v) ? std::string("-") : Fixed(v * scale, 1) + unit;
    };
    out << "| " << measure << " | " << value(t) << " | " << value(f) << " | "
        << RatioText(Ratio(t, f), 2) << " | ";
    if (figure) out << value(g) << " | " << RatioText(Ratio(g, f), 2) << " | ";
    out << "<= " << Fixed(limit, 2) << "x | " << VerdictText(AtMost(Ratio(t, f), limit)) << " |\n";
  };
  row("Exec to first presented frame", &StartupSamples::seconds, 1e3, " ms", STARTUP_TIME_LIMIT);
  row("Peak memory (resident)", &StartupSamples::peakKiB, 1.0 / 1024, " MiB", STARTUP_MEMORY_LIMIT);
  out << "\nSucceeded runs: tobrin " << r.tobrinStartup.seconds.size() << ", floor "
      << r.floorStartup.seconds.size();
  if (figure) out << ", floor drawing the figure " << r.figureStartup.seconds.size();
  out << ".\n";
  return out.str();
}

std::string FormatDesktopSummary(const DesktopResults& r, int runs, const std::string& server) {
  std::ostringstream out;
  out << FormatStartupSummary(r, runs, server);
  out << "\n### Idle: no input, after the window has settled\n\n";
  out << "| Program | Watched | Frames presented | Processor time | Share of a core | Target "
         "| Result |\n|---|---|---|---|---|---|---|\n";
  const auto idleRow = [&](const char* name, const IdleResult& i, bool judged) {
    const std::string target =
        judged ? "0 frames, < " + Fixed(IDLE_CPU_LIMIT * 100.0, 0) + "%" : "none";
    if (!i.measured) {
      out << "| " << name << " | - | - | - | - | " << target << " | "
          << (judged ? "not measured" : "-") << " |\n";
      return;
    }
    const double share = i.cpuSeconds / i.seconds;
    out << "| " << name << " | " << Fixed(i.seconds, 1) << " s | " << i.frames << " | "
        << Fixed(i.cpuSeconds * 1e3, 0) << " ms (ticks of " << Fixed(i.tickSeconds * 1e3, 0)
        << " ms) | " << Fixed(share * 100.0, 2) << "% | " << target << " | "
        << (judged ? VerdictText({true, i.frames == 0 && share < IDLE_CPU_LIMIT}) : "-") << " |\n";
  };
  idleRow("tobrin", r.tobrinIdle, true);
  idleRow("Minimal wxGLCanvas window", r.floorIdle, false);

  const FloodResult& f = r.flood;
  out << "\n### Input flood: an Orientation drag of " << f.moves
      << " pointer moves sent by xdotool through XTest\n\n";
  if (!f.measured) {
    out << "Not measured: " << (f.problem.empty() ? "unknown failure" : f.problem) << ".\n";
    return out.str();
  }
  out << "| Measure | Value | Target | Result |\n|---|---|---|---|\n";
  out << "| Time xdotool took to send the moves | " << Fixed(f.sendSeconds * 1e3, 0)
      << " ms | none | - |\n";
  out << "| Frames presented during the drag | " << f.frames << " | <= " << f.moves << " | "
      << VerdictText({true, f.frames <= f.moves}) << " |\n";
  const bool presented = f.framesAfterLastMove > 0;  // a frame after the last move
  out << "| Last move to its frame presented | "
      << (presented ? Fixed(f.latencyHigh * 1e3, 1) + " ms at most (" +
                          Fixed(f.latencyLow * 1e3, 1) + " ms at least)"
                    : "no frame after the last move")
      << " | <= " << Fixed(FLOOD_LATENCY_LIMIT * 1e3, 0) << " ms | "
      << VerdictText({true, presented && f.latencyHigh <= FLOOD_LATENCY_LIMIT}) << " |\n";
  return out.str();
}

}  // namespace tobrin_bench
