// Measurements of the whole program under an X server of its own (Xvfb, on a free display number),
// against the toolkit's floor (a minimal wxGLCanvas window):
//   - start-up: exec to the first presented frame, and peak memory, median of several runs;
//   - idle: with no input for 5 seconds, frames presented and processor time used;
//   - input flood: 2,000 pointer moves of an Orientation drag sent through XTest by xdotool,
//     frames presented, and how soon after the last move its frame is presented.
// Presented frames are seen through the swap shim (first_frame.c) preloaded into the program.
// With --wine, the three programs are the Windows builds, and only their start-up is measured,
// under Wine in a session of its own (wine_session.h) on an Xvfb with openbox; the shim is then
// loaded as an audit module, which sees the swap Wine takes from libGL (see first_frame.c).
//
// Usage: tobrin-desktop-bench --tobrin=PATH --floor=PATH --shim=PATH [--figure=PATH]
//                             [--runs=N] [--resetting-server] [--startup-only] [--wine]
//                             [--summary=FILE]
// --figure names the floor window built to draw the figure; --resetting-server measures on a
// server that resets when its last client leaves, as xvfb-run starts it, instead of one that
// outlives its clients, as a desktop's does; --startup-only leaves out the idle and input-flood
// checks.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/desktop_report.h"
#include "bench/wine_session.h"
#include "harness/process.h"
#include "harness/temp_dir.h"
#include "harness/xvfb.h"

namespace tobrin_bench {
namespace {

using namespace tobrin_test;
using namespace std::chrono_literals;

using Clock = long long;  // CLOCK_REALTIME nanoseconds, the shim's clock

Clock Now() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();  // CLOCK_REALTIME
  return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

// Seconds from one clock reading to a later one.
double Seconds(Clock from, Clock to) {
  return static_cast<double>(to - from) * 1e-9;
}

struct Options {
  std::string tobrin, floor, figure, shim, summary;
  int runs = 0;
  bool resettingServer = false;
  bool startupOnly = false;
  bool wine = false;
};

// The environment of a measured program: the server's (see main), its own settings folder, so
// that it neither reads nor writes the user's (a Windows program keeps its settings in the Wine
// prefix), and the shim.
std::vector<std::string> ProgramEnvironment(const Options& o, const std::string& configDir,
                                            const std::string& frameLog) {
  return {"XDG_CONFIG_HOME=" + configDir, (o.wine ? "LD_AUDIT=" : "LD_PRELOAD=") + o.shim,
          "FIRST_FRAME_N", frameLog.empty() ? "FRAME_LOG" : "FRAME_LOG=" + frameLog};
}

std::vector<Clock> ReadFrameLog(const std::string& path) {
  std::ifstream in(path);
  return {std::istream_iterator<Clock>(in), std::istream_iterator<Clock>()};
}

// --- Start-up -----------------------------------------------------------------------------

struct StartupRun {
  bool ok = false;
  double seconds = 0;  // exec to first presented frame
  long peakKiB = 0;    // peak resident memory up to then
};

StartupRun MeasureStartup(const Options& o, const std::string& program) {
  TempDir config;
  const std::vector<std::string> words =
      o.wine ? WineSession::CommandLine(program) : std::vector<std::string>{program};
  const Clock start = Now();
  Process p({words, ProgramEnvironment(o, config.path(), ""), "/dev/null", STDERR_FILENO});
  if (p.pid() <= 0) return {};
  // Until the shim's line has come whole, or the program has ended. Not until its standard
  // error closes: under Wine, a process it starts may hold that open after it.
  std::string err;
  const auto framed = [&] {
    const size_t line = err.find("first-frame-ns ");
    return line != std::string::npos && err.find('\n', line) != std::string::npos;
  };
  const auto done = [&] {
    p.Read(&err, 10);
    return framed() || !p.Running();
  };
  WaitUntil(done, 30000, 1);
  p.Wait(5000);  // the shim ends the process right after its line
  p.Stop();
  p.Read(&err, 200);  // what came between the last look and the end
  const size_t at = err.find("first-frame-ns ");
  if (at == std::string::npos) {
    std::fprintf(stderr, "%s presented no frame; its messages:\n%s\n", program.c_str(),
                 err.c_str());
    return {};
  }
  const Clock frame = std::atoll(err.c_str() + at + std::strlen("first-frame-ns "));
  return {frame > start, Seconds(start, frame), p.usage().ru_maxrss};
}

// --- A running program with a frame log -----------------------------------------------------

class LoggedProgram {
 public:
  LoggedProgram(const Options& o, const std::string& program)
      : program_(program),
        log_(config_ / "frames"),
        messages_(config_ / "stderr"),
        process_({{program}, ProgramEnvironment(o, config_.path(), log_), messages_}) {}
  std::vector<Clock> Frames() const { return ReadFrameLog(log_); }

  // Waits for the first frame, then until no frame has come for `quietMs`. False, with the
  // program's messages shown, if it shows nothing within 30 seconds or never settles.
  bool WaitUntilSettled(int quietMs) {
    const Clock deadline = Now() + 30LL * 1000000000LL;
    const auto left = [&] { return static_cast<int>((deadline - Now()) / 1000000); };
    WaitUntil([&] { return !Frames().empty() || !process_.Running(); }, left());
    size_t seen = Frames().size();
    Clock quietSince = Now();
    const auto quiet = [&] {
      const size_t n = Frames().size();
      if (n != seen) quietSince = Now();
      seen = n;
      return Now() - quietSince >= static_cast<Clock>(quietMs) * 1000000LL;
    };
    if (seen > 0 && WaitUntil(quiet, left())) return true;
    std::fprintf(stderr, "%s did not settle (%zu frames); its messages:\n%s\n", program_.c_str(),
                 Frames().size(), ReadFile(messages_).c_str());
    return false;
  }

  // utime + stime of the process, in clock ticks.
  std::optional<long long> CpuTicks() const {
    const std::string stat = ReadFile("/proc/" + std::to_string(process_.pid()) + "/stat");
    const size_t close = stat.rfind(')');
    long long utime = 0, stime = 0;
    // After the command name: the state (field 3), fields 4 to 13, then utime and stime.
    const char* fields = " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld";
    if (close == std::string::npos ||
        std::sscanf(stat.c_str() + close + 1, fields, &utime, &stime) != 2) {
      return std::nullopt;
    }
    return utime + stime;
  }

 private:
  TempDir config_;
  std::string program_, log_, messages_;
  Process process_;
};

IdleResult MeasureIdle(const Options& o, const std::string& program, int seconds) {
  LoggedProgram p(o, program);
  if (!p.WaitUntilSettled(1000)) return {};
  const size_t frames0 = p.Frames().size();
  const auto cpu0 = p.CpuTicks();
  const Clock t0 = Now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto cpu1 = p.CpuTicks();
  const Clock t1 = Now();
  const size_t frames1 = p.Frames().size();
  if (!cpu0 || !cpu1) return {};
  const double tick = 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return {true, Seconds(t0, t1), static_cast<long>(frames1 - frames0),
          static_cast<double>(*cpu1 - *cpu0) * tick, tick};
}

// --- Input flood --------------------------------------------------------------------------

FloodResult MeasureFlood(const Options& o, int moves) {
  FloodResult r;
  r.moves = moves;
  const auto failed = [&r](const char* problem) {
    r.problem = problem;
    return r;
  };
  LoggedProgram p(o, o.tobrin);
  if (!p.WaitUntilSettled(1000)) return failed("tobrin showed no settled window");
  const Output window = RunCommand({{"xdotool", "search", "--sync", "--onlyvisible", "--name",
                                     "^Tobrin$", "getwindowgeometry", "--shell"}},
                                   30000);
  int x = 0, y = 0;
  if (window.status != 0 || std::sscanf(window.text.c_str(), "WINDOW=%*d X=%d Y=%d", &x, &y) != 2) {
    return failed("the Tobrin window was not found");
  }
  // The middle of the 500 x 500 frame lies in the drawing area, below the menu bar. The
  // arcball's sphere there has a radius of 125 pixels; the drag circles inside it.
  const int cx = x + 250, cy = y + 250;
  const auto xdotool = [](const std::string& args) {
    return RunCommand({Words("xdotool " + args)}).status;
  };
  if (xdotool("mousemove " + std::to_string(cx) + " " + std::to_string(cy)) != 0) {
    return failed("xdotool cannot move the pointer");
  }
  std::this_thread::sleep_for(300ms);
  if (xdotool("mousedown 1") != 0) return failed("xdotool cannot press the button");
  p.WaitUntilSettled(500);
  const size_t before = p.Frames().size();

  // Every move goes to a pixel other than the one before: a circle of radius 60 in steps of
  // 3.6 degrees (about 3.8 pixels).
  const auto point = [&](int i) {
    const double a = i * (2.0 * 3.14159265358979323846 / 100.0);
    return std::to_string(cx + static_cast<int>(std::lround(60.0 * std::cos(a)))) + " " +
           std::to_string(cy + static_cast<int>(std::lround(60.0 * std::sin(a))));
  };
  std::string chain;
  for (int i = 1; i < moves; ++i)
    chain += " mousemove " + point(i);
  const Clock floodStart = Now();
  const int chained = xdotool(chain);
  const Clock lastBefore = Now();
  const int single = xdotool("mousemove " + point(moves));
  const Clock lastAfter = Now();
  std::this_thread::sleep_for(1500ms);  // every frame the moves cause has been presented by now
  const std::vector<Clock> frames = p.Frames();
  if (xdotool("mouseup 1") != 0) r.problem = "xdotool cannot release the button";
  if (chained != 0 || single != 0) return failed("xdotool failed while moving the pointer");
  r.measured = true;
  r.sendSeconds = Seconds(floodStart, lastAfter);
  r.frames = static_cast<long>(frames.size() - before);
  r.framesAfterLastMove =
      std::count_if(frames.begin(), frames.end(), [&](Clock f) { return f >= lastBefore; });
  if (r.framesAfterLastMove > 0) {
    const Clock lastFrame = frames.back();
    // The move was sent between the two clock readings around the last xdotool: the latency
    // lies between these two bounds, and the larger one is reported.
    r.latencyLow = Seconds(lastAfter, lastFrame);
    r.latencyHigh = Seconds(lastBefore, lastFrame);
  }
  return r;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  std::string runs = "7";
  const std::map<std::string, std::string*> values = {
      {"--tobrin", &o->tobrin}, {"--floor", &o->floor}, {"--figure", &o->figure},
      {"--shim", &o->shim},     {"--runs", &runs},      {"--summary", &o->summary}};
  const std::map<std::string, bool*> flags = {{"--resetting-server", &o->resettingServer},
                                              {"--startup-only", &o->startupOnly},
                                              {"--wine", &o->wine}};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const size_t equals = a.find('=');
    if (equals != std::string::npos && values.count(a.substr(0, equals)) != 0) {
      *values.at(a.substr(0, equals)) = a.substr(equals + 1);
    } else if (flags.count(a) != 0) {
      *flags.at(a) = true;
    } else {
      return false;
    }
  }
  o->runs = std::max(1, std::atoi(runs.c_str()));
  return !o->tobrin.empty() && !o->floor.empty() && !o->shim.empty();
}

}  // namespace
}  // namespace tobrin_bench

int main(int argc, char** argv) {
  using namespace tobrin_bench;
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr,
                 "usage: %s --tobrin=PATH --floor=PATH --shim=PATH [--figure=PATH] [--runs=N]\n"
                 "       [--resetting-server] [--startup-only] [--wine] [--summary=FILE]\n",
                 argv[0]);
    return 2;
  }
  // A bare server: a window manager would map and place the windows in its own time. Under Wine,
  // openbox: Wine's windows are meant for a managed desktop.
  const TempDir work;
  const XvfbServer xvfb({{}, o.resettingServer, o.wine ? "openbox" : "", work / "xvfb.log"});
  if (!xvfb.ok()) {
    std::fprintf(stderr, "tobrin-desktop-bench: %s\n%s", xvfb.error().c_str(),
                 ReadFile(work / "xvfb.log").c_str());
    return 1;
  }
  SetEnvironment(xvfb.Environment());
  std::string heading =
      o.resettingServer
          ? "plain Xvfb (as xvfb-run starts it: the server resets when its last client leaves)"
          : "Xvfb -noreset (a server that outlives its clients, as a desktop's)";
  std::optional<WineSession> wine;
  if (o.wine) {
    std::fprintf(stderr, "making a Wine prefix and starting its desktop...\n");
    wine.emplace(work / "prefix", work / "wine.log");
    if (!wine->ok()) {
      std::fprintf(stderr, "tobrin-desktop-bench: %s\n%s", wine->error().c_str(),
                   ReadFile(work / "wine.log").c_str());
      return 1;
    }
    o.startupOnly = true;
    heading = std::string(
                  "Windows builds under Wine (its server, services and desktop process "
                  "already running), on ") +
              (o.resettingServer ? "plain Xvfb" : "Xvfb -noreset") + " with openbox";
  }

  DesktopResults results;
  struct Measured {
    const char* name;
    const std::string& path;
    StartupSamples* into;
  };
  std::vector<Measured> programs = {{"floor", o.floor, &results.floorStartup},
                                    {"tobrin", o.tobrin, &results.tobrinStartup}};
  if (!o.figure.empty()) programs.push_back({"figure", o.figure, &results.figureStartup});
  // One run of each first, unmeasured, so that all start from warm file caches; then they
  // take turns, so that a slow spell of the machine touches each alike.
  for (const Measured& m : programs)
    MeasureStartup(o, m.path);
  for (int i = 0; i < o.runs; ++i) {
    for (const Measured& m : programs) {
      // Every run under Wine finds the session's desktop running.
      if (wine && wine->DesktopStatus() >= 0) {
        std::fprintf(stderr,
                     "tobrin-desktop-bench: the Wine desktop process has ended (status %d)\n%s",
                     wine->DesktopStatus(), ReadFile(work / "wine.log").c_str());
        return 1;
      }
      const StartupRun run = MeasureStartup(o, m.path);
      std::fprintf(stderr, "start-up %-7s run %d: %s%.1f ms, %ld KiB\n", m.name, i + 1,
                   run.ok ? "" : "FAILED ", run.seconds * 1e3, run.peakKiB);
      if (!run.ok) continue;
      m.into->seconds.push_back(run.seconds);
      m.into->peakKiB.push_back(static_cast<double>(run.peakKiB));
    }
  }

  std::string summary;
  if (o.startupOnly) {
    summary = FormatStartupSummary(results, o.runs, heading);
  } else {
    std::fprintf(stderr, "idle: 5 seconds of each program...\n");
    results.tobrinIdle = MeasureIdle(o, o.tobrin, 5);
    results.floorIdle = MeasureIdle(o, o.floor, 5);

    std::fprintf(stderr, "input flood: 2,000 moves...\n");
    results.flood = MeasureFlood(o, 2000);
    if (!results.flood.problem.empty())
      std::fprintf(stderr, "input flood: %s\n", results.flood.problem.c_str());
    summary = FormatDesktopSummary(results, o.runs, heading);
  }
  std::cout << summary << std::flush;
  if (!o.summary.empty()) {
    std::ofstream out(o.summary);
    out << summary;
    if (!out) return 1;
  }
  return 0;
}
