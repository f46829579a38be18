// Results of the desktop measurements and their summary table.
#pragma once

#include <string>
#include <vector>

namespace tobrin_bench {

struct StartupSamples {
  std::vector<double> seconds;  // exec to first presented frame, one per run
  std::vector<double> peakKiB;  // peak resident memory, one per run
};

struct IdleResult {
  bool measured = false;
  double seconds = 0;      // how long the program was watched
  long frames = 0;         // frames presented meanwhile
  double cpuSeconds = 0;   // processor time it used meanwhile (user and system)
  double tickSeconds = 0;  // the resolution of that time
};

struct FloodResult {
  bool measured = false;
  std::string problem;  // why it was not measured
  int moves = 0;
  double sendSeconds = 0;        // how long xdotool took to send them all
  long frames = 0;               // frames presented from the first move on
  long framesAfterLastMove = 0;  // frames presented after the last move was sent
  // Bounds of the time from sending the last move to presenting the last frame.
  double latencyLow = 0;
  double latencyHigh = 0;
};

struct DesktopResults {
  // The floor window drawing the figure sits between the two: what drawing costs, apart from
  // the shell. Left empty when not measured.
  StartupSamples tobrinStartup, floorStartup, figureStartup;
  IdleResult tobrinIdle, floorIdle;
  FloodResult flood;
};

// The targets.
inline constexpr double STARTUP_TIME_LIMIT = 1.15;    // x the floor's time
inline constexpr double STARTUP_MEMORY_LIMIT = 1.10;  // x the floor's peak memory
inline constexpr double IDLE_CPU_LIMIT = 0.01;        // share of one core
inline constexpr double FLOOD_LATENCY_LIMIT = 0.050;  // seconds

// The median; NaN for no values.
double Median(std::vector<double> values);

// The start-up table in Markdown, under a heading that ends in `server` (how the X server ran).
// `runs` is the number of start-up runs asked for.
std::string FormatStartupSummary(const DesktopResults& r, int runs, const std::string& server);

// The start-up, idle and input-flood tables in Markdown.
std::string FormatDesktopSummary(const DesktopResults& r, int runs, const std::string& server);

}  // namespace tobrin_bench
