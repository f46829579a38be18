#include "bench/desktop_report.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "bench/summary.h"

namespace tobrin_bench {

double Median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string FormatStartupSummary(const DesktopResults& r, int runs, const std::string& server) {
  std::ostringstream out;
  const double tTime = Median(r.tobrinStartup.seconds), fTime = Median(r.floorStartup.seconds);
  const double tMem = Median(r.tobrinStartup.peakKiB), fMem = Median(r.floorStartup.peakKiB);
  const double gTime = Median(r.figureStartup.seconds), gMem = Median(r.figureStartup.peakKiB);
  const bool timeMeasured = !std::isnan(tTime) && !std::isnan(fTime) && fTime > 0;
  const bool memMeasured = !std::isnan(tMem) && !std::isnan(fMem) && fMem > 0;
  const bool figure = !r.figureStartup.seconds.empty();
  const auto ms = [](double s) {
    return std::isnan(s) ? std::string("-") : Fixed(s * 1e3, 1) + " ms";
  };
  const auto mib = [](double k) {
    return std::isnan(k) ? std::string("-") : Fixed(k / 1024.0, 1) + " MiB";
  };
  const auto ratio = [](double a, double b) {
    return (std::isnan(a) || std::isnan(b) || !(b > 0)) ? std::string("-") : Fixed(a / b, 2) + "x";
  };

  out << "### Start-up, " << server << ": median of " << runs << " runs each\n\n";
  out << "| Measure | tobrin | Minimal wxGLCanvas window (floor) | Ratio |";
  if (figure) out << " Floor window drawing the figure | Its ratio to the floor |";
  out << " Target | Result |\n|---|---|---|---|";
  if (figure) out << "---|---|";
  out << "---|---|\n";
  out << "| Exec to first presented frame | " << ms(tTime) << " | " << ms(fTime) << " | "
      << ratio(tTime, fTime) << " | ";
  if (figure) out << ms(gTime) << " | " << ratio(gTime, fTime) << " | ";
  out << "<= " << Fixed(STARTUP_TIME_LIMIT, 2) << "x | "
      << VerdictText({timeMeasured, timeMeasured && tTime / fTime <= STARTUP_TIME_LIMIT}) << " |\n";
  out << "| Peak memory (resident) | " << mib(tMem) << " | " << mib(fMem) << " | "
      << ratio(tMem, fMem) << " | ";
  if (figure) out << mib(gMem) << " | " << ratio(gMem, fMem) << " | ";
  out << "<= " << Fixed(STARTUP_MEMORY_LIMIT, 2) << "x | "
      << VerdictText({memMeasured, memMeasured && tMem / fMem <= STARTUP_MEMORY_LIMIT}) << " |\n";
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
    if (!i.measured) {
      out << "| " << name << " | - | - | - | - | " << (judged ? "0 frames, < 1%" : "none") << " | "
          << (judged ? "not measured" : "-") << " |\n";
      return;
    }
    const double share = i.cpuSeconds / i.seconds;
    out << "| " << name << " | " << Fixed(i.seconds, 1) << " s | " << i.frames << " | "
        << Fixed(i.cpuSeconds * 1e3, 0) << " ms (ticks of " << Fixed(i.tickSeconds * 1e3, 0)
        << " ms) | " << Fixed(share * 100.0, 2) << "% | ";
    if (judged) {
      out << "0 frames, < " << Fixed(IDLE_CPU_LIMIT * 100.0, 0) << "% | "
          << VerdictText({true, i.frames == 0 && share < IDLE_CPU_LIMIT}) << " |\n";
    } else {
      out << "none | - |\n";
    }
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
  const bool latencyMet = f.framesAfterLastMove > 0 && f.latencyHigh <= FLOOD_LATENCY_LIMIT;
  out << "| Last move to its frame presented | ";
  if (f.framesAfterLastMove > 0) {
    out << Fixed(f.latencyHigh * 1e3, 1) << " ms at most (" << Fixed(f.latencyLow * 1e3, 1)
        << " ms at least)";
  } else {
    out << "no frame after the last move";
  }
  out << " | <= " << Fixed(FLOOD_LATENCY_LIMIT * 1e3, 0) << " ms | "
      << VerdictText({true, latencyMet}) << " |\n";
  return out.str();
}

}  // namespace tobrin_bench
