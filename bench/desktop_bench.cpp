// Measurements of the whole program under a real X server, against the toolkit's floor (a
// minimal wxGLCanvas window):
//   - start-up: exec to the first presented frame, and peak memory, median of several runs;
//   - idle: with no input for 5 seconds, frames presented and processor time used;
//   - input flood: 2,000 pointer moves of an Orientation drag sent through XTest by xdotool,
//     frames presented, and how soon after the last move its frame is presented.
// Presented frames are seen through the swap shim (first_frame.c) preloaded into the program.
// DISPLAY must name a running X server without a window manager (scripts/bench starts Xvfb).
//
// Usage: tobrin-desktop-bench --tobrin=PATH --floor=PATH --shim=PATH [--figure=PATH]
//                             [--runs=N] [--server=TEXT] [--startup-only] [--summary=FILE]
// --figure names the floor window built to draw the figure; --server says how the X server
// runs, for the headings; --startup-only leaves out the idle and input-flood checks.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/desktop_report.h"

extern char** environ;

namespace tobrin_bench {
namespace {

using Clock = long long;  // CLOCK_REALTIME nanoseconds, the shim's clock

Clock Now() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<Clock>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Options {
  std::string tobrin, floor, figure, shim, summary;
  std::string server = "under Xvfb";  // how the X server runs, for the headings
  int runs = 7;
  bool startupOnly = false;
};

// A settings folder of its own, so the program neither reads nor writes the user's.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/tobrin-bench-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    if (!path_.empty()) {
      const std::string command = "rm -rf '" + path_ + "'";
      if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "cannot remove %s\n", path_.c_str());
    }
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The environment of a measured program: ours, with the desktop quieted (no session bus, no
// accessibility bus), GTK held to the X server in DISPLAY even when run from a Wayland session,
// and the settings folder and shim set.
std::vector<std::string> ProgramEnvironment(const Options& o, const std::string& configDir,
                                            const std::string& frameLog) {
  const auto replaced = [](const std::string& entry) {
    for (const char* name :
         {"LD_PRELOAD=", "FRAME_LOG=", "FIRST_FRAME_N=", "XDG_CONFIG_HOME=", "GSETTINGS_BACKEND=",
          "NO_AT_BRIDGE=", "GDK_BACKEND=", "WAYLAND_DISPLAY="}) {
      if (entry.rfind(name, 0) == 0) return true;
    }
    return false;
  };
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (!replaced(*e)) env.push_back(*e);
  }
  env.push_back("LD_PRELOAD=" + o.shim);
  env.push_back("XDG_CONFIG_HOME=" + configDir);
  env.push_back("GSETTINGS_BACKEND=memory");
  env.push_back("NO_AT_BRIDGE=1");
  env.push_back("GDK_BACKEND=x11");
  if (!frameLog.empty()) env.push_back("FRAME_LOG=" + frameLog);
  return env;
}

// A started program; its standard error comes through a pipe when asked for.
struct Child {
  pid_t pid = -1;
  int stderrFd = -1;
};

// Standard error goes to a pipe (captureStderr), else to `stderrFile`, else nowhere.
Child Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            bool captureStderr, const std::string& stderrFile) {
  int fds[2] = {-1, -1};
  if (captureStderr && pipe(fds) != 0) return {};
  std::vector<char*> args, envp;
  for (const auto& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& e : env)
    envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (captureStderr) {
      dup2(fds[1], STDERR_FILENO);
      close(fds[0]);
      close(fds[1]);
    } else {
      const int err = open(stderrFile.empty() ? "/dev/null" : stderrFile.c_str(),
                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err, STDERR_FILENO);
    }
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  Child c;
  c.pid = pid;
  if (captureStderr) {
    close(fds[1]);
    c.stderrFd = fds[0];
  }
  return c;
}

// Runs a short command to its end and returns its standard output (empty on failure).
std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
      out.append(buffer, n);
    if (pclose(p) != 0) out.clear();
  }
  return out;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    SleepMs(100);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

std::vector<Clock> ReadFrameLog(const std::string& path) {
  std::vector<Clock> frames;
  std::ifstream in(path);
  Clock t = 0;
  while (in >> t)
    frames.push_back(t);
  return frames;
}

// --- Start-up -----------------------------------------------------------------------------

struct StartupRun {
  bool ok = false;
  double seconds = 0;  // exec to first presented frame
  long peakKiB = 0;    // peak resident memory up to then
};

StartupRun MeasureStartup(const Options& o, const std::string& program) {
  TempDir config;
  const Clock start = Now();
  Child c = Spawn({program}, ProgramEnvironment(o, config.path(), ""), true, "");
  if (c.pid <= 0) return {};
  std::string err;
  char buffer[4096];
  const Clock deadline = start + 30LL * 1000000000LL;
  for (;;) {
    pollfd p{c.stderrFd, POLLIN, 0};
    const int ready = poll(&p, 1, 200);
    if (ready > 0) {
      const ssize_t n = read(c.stderrFd, buffer, sizeof buffer);
      if (n <= 0) break;  // the program ended
      err.append(buffer, static_cast<size_t>(n));
    }
    if (Now() > deadline) {
      kill(c.pid, SIGKILL);
      break;
    }
  }
  close(c.stderrFd);
  int status = 0;
  rusage usage{};
  wait4(c.pid, &status, 0, &usage);
  StartupRun run;
  const size_t at = err.find("first-frame-ns ");
  if (at == std::string::npos) {
    std::fprintf(stderr, "%s presented no frame; its messages:\n%s\n", program.c_str(),
                 err.c_str());
    return run;
  }
  const Clock frame = std::atoll(err.c_str() + at + std::strlen("first-frame-ns "));
  run.ok = frame > start;
  run.seconds = static_cast<double>(frame - start) * 1e-9;
  run.peakKiB = usage.ru_maxrss;
  return run;
}

// --- A running program with a frame log -----------------------------------------------------

class LoggedProgram {
 public:
  LoggedProgram(const Options& o, const std::string& program)
      : program_(program), log_(config_.path() + "/frames"), messages_(config_.path() + "/stderr") {
    child_ = Spawn({program}, ProgramEnvironment(o, config_.path(), log_), false, messages_);
  }
  ~LoggedProgram() { Stop(child_.pid); }
  pid_t pid() const { return child_.pid; }
  std::vector<Clock> Frames() const { return ReadFrameLog(log_); }

  // Waits for the first frame, then until no frame has come for `quietMs`. False, with the
  // program's messages shown, if it shows nothing within 30 seconds or never settles.
  bool WaitUntilSettled(int quietMs) {
    if (Settle(quietMs)) return true;
    std::ifstream in(messages_);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s did not settle (%zu frames); its messages:\n%s\n", program_.c_str(),
                 Frames().size(), text.c_str());
    return false;
  }

  // utime + stime of the process, in clock ticks.
  std::optional<long long> CpuTicks() const {
    std::ifstream in("/proc/" + std::to_string(child_.pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::string f;
    // Fields after the command name start at field 3 (state); utime and stime are 14 and 15.
    long long utime = 0, stime = 0;
    for (int field = 3; field <= 15 && fields >> f; ++field) {
      if (field == 14) utime = std::atoll(f.c_str());
      if (field == 15) stime = std::atoll(f.c_str());
    }
    return utime + stime;
  }

 private:
  bool Settle(int quietMs) {
    const Clock deadline = Now() + 30LL * 1000000000LL;
    while (Frames().empty()) {
      if (Now() > deadline || waitpid(child_.pid, nullptr, WNOHANG) == child_.pid) return false;
      SleepMs(50);
    }
    size_t seen = Frames().size();
    Clock quietSince = Now();
    while (Now() < deadline) {
      SleepMs(50);
      const size_t n = Frames().size();
      if (n != seen) {
        seen = n;
        quietSince = Now();
      } else if (Now() - quietSince >= static_cast<Clock>(quietMs) * 1000000LL) {
        return true;
      }
    }
    return false;
  }

  TempDir config_;
  std::string program_, log_, messages_;
  Child child_;
};

IdleResult MeasureIdle(const Options& o, const std::string& program, int seconds) {
  IdleResult r;
  LoggedProgram p(o, program);
  if (!p.WaitUntilSettled(1000)) return r;
  const size_t frames0 = p.Frames().size();
  const auto cpu0 = p.CpuTicks();
  const Clock t0 = Now();
  SleepMs(seconds * 1000);
  const auto cpu1 = p.CpuTicks();
  const Clock t1 = Now();
  const size_t frames1 = p.Frames().size();
  if (!cpu0 || !cpu1) return r;
  r.measured = true;
  r.seconds = static_cast<double>(t1 - t0) * 1e-9;
  r.frames = static_cast<long>(frames1 - frames0);
  r.cpuSeconds = static_cast<double>(*cpu1 - *cpu0) / static_cast<double>(sysconf(_SC_CLK_TCK));
  r.tickSeconds = 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return r;
}

// --- Input flood --------------------------------------------------------------------------

FloodResult MeasureFlood(const Options& o, int moves) {
  FloodResult r;
  r.moves = moves;
  LoggedProgram p(o, o.tobrin);
  if (!p.WaitUntilSettled(1000)) {
    r.problem = "tobrin showed no settled window";
    return r;
  }
  const std::string id = Capture("xdotool search --sync --onlyvisible --name '^Tobrin$' | head -1");
  if (id.empty()) {
    r.problem = "the Tobrin window was not found";
    return r;
  }
  const std::string geometry = Capture("xdotool getwindowgeometry --shell " + id);
  int x = 0, y = 0;
  std::istringstream lines(geometry);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("X=", 0) == 0) x = std::atoi(line.c_str() + 2);
    if (line.rfind("Y=", 0) == 0) y = std::atoi(line.c_str() + 2);
  }
  // The middle of the 500 x 500 frame lies in the drawing area, below the menu bar. The
  // arcball's sphere there has a radius of 125 pixels; the drag circles inside it.
  const int cx = x + 250, cy = y + 250;
  std::string press = "xdotool mousemove " + std::to_string(cx) + " " + std::to_string(cy);
  if (std::system(press.c_str()) != 0) {
    r.problem = "xdotool cannot move the pointer";
    return r;
  }
  SleepMs(300);
  if (std::system("xdotool mousedown 1") != 0) {
    r.problem = "xdotool cannot press the button";
    return r;
  }
  p.WaitUntilSettled(500);
  const size_t before = p.Frames().size();

  // Every move goes to a pixel other than the one before: a circle of radius 60 in steps of
  // 3.6 degrees (about 3.8 pixels).
  const auto point = [&](int i) {
    const double a = i * (2.0 * 3.14159265358979323846 / 100.0);
    return std::to_string(cx + static_cast<int>(std::lround(60.0 * std::cos(a)))) + " " +
           std::to_string(cy + static_cast<int>(std::lround(60.0 * std::sin(a))));
  };
  std::string chain = "xdotool";
  for (int i = 1; i < moves; ++i)
    chain += " mousemove " + point(i);
  const Clock floodStart = Now();
  const int chained = std::system(chain.c_str());
  const std::string last = "xdotool mousemove " + point(moves);
  const Clock lastBefore = Now();
  const int single = std::system(last.c_str());
  const Clock lastAfter = Now();
  SleepMs(1500);  // every frame the moves cause has been presented by now
  const std::vector<Clock> frames = p.Frames();
  if (std::system("xdotool mouseup 1") != 0) r.problem = "xdotool cannot release the button";
  if (chained != 0 || single != 0) {
    r.problem = "xdotool failed while moving the pointer";
    return r;
  }
  r.measured = true;
  r.sendSeconds = static_cast<double>(lastAfter - floodStart) * 1e-9;
  r.frames = static_cast<long>(frames.size() - before);
  long after = 0;
  for (Clock f : frames)
    if (f >= lastBefore) ++after;
  r.framesAfterLastMove = after;
  if (after > 0) {
    const Clock lastFrame = frames.back();
    // The move was sent between the two clock readings around the last xdotool: the latency
    // lies between these two bounds, and the larger one is reported.
    r.latencyLow = static_cast<double>(lastFrame - lastAfter) * 1e-9;
    r.latencyHigh = static_cast<double>(lastFrame - lastBefore) * 1e-9;
  }
  return r;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&](const char* name) -> const char* {
      const size_t n = std::strlen(name);
      return a.compare(0, n, name) == 0 ? argv[i] + n : nullptr;
    };
    if (const char* v = value("--tobrin=")) {
      o->tobrin = v;
    } else if (const char* v = value("--floor=")) {
      o->floor = v;
    } else if (const char* v = value("--figure=")) {
      o->figure = v;
    } else if (const char* v = value("--server=")) {
      o->server = v;
    } else if (a == "--startup-only") {
      o->startupOnly = true;
    } else if (const char* v = value("--shim=")) {
      o->shim = v;
    } else if (const char* v = value("--runs=")) {
      o->runs = std::max(1, std::atoi(v));
    } else if (const char* v = value("--summary=")) {
      o->summary = v;
    } else {
      return false;
    }
  }
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
                 "       [--server=TEXT] [--startup-only] [--summary=FILE]\n",
                 argv[0]);
    return 2;
  }
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "tobrin-desktop-bench: DISPLAY is not set: start an X server first\n");
    return 2;
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
    summary = FormatStartupSummary(results, o.runs, o.server);
  } else {
    std::fprintf(stderr, "idle: 5 seconds of each program...\n");
    results.tobrinIdle = MeasureIdle(o, o.tobrin, 5);
    results.floorIdle = MeasureIdle(o, o.floor, 5);

    std::fprintf(stderr, "input flood: 2,000 moves...\n");
    results.flood = MeasureFlood(o, 2000);
    if (!results.flood.problem.empty())
      std::fprintf(stderr, "input flood: %s\n", results.flood.problem.c_str());
    summary = FormatDesktopSummary(results, o.runs, o.server);
  }
  std::cout << summary << std::flush;
  if (!o.summary.empty()) {
    std::ofstream out(o.summary);
    out << summary;
    if (!out) return 1;
  }
  return 0;
}
