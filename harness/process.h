// Child processes for the tests, the benchmarks and their tools: start one with its words, changes
// to the environment and its output redirected, wait for it with a deadline, read its output,
// stop it. Times are milliseconds.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tobrin_test {

// What to start, with what environment, and where its output goes.
struct Command {
  std::vector<std::string> argv;      // argv[0] is looked up in PATH unless it holds a '/'
  std::vector<std::string> env = {};  // over ours: "NAME=value" sets NAME, a bare "NAME" removes it
  std::string err = "/dev/null";      // the file standard error goes to (standard output: none)
  int pipe = -1;  // STDOUT_FILENO or STDERR_FILENO: that stream comes to Process::Read instead
  std::vector<int> ignored = {};  // signals it starts with ignored, as under nohup
};

// A started child in a process group of its own, which gets SIGTERM when we end, and is stopped
// when the object goes.
class Process {
 public:
  Process() = default;
  explicit Process(const Command& command);  // check pid() > 0
  ~Process() { Close(); }
  Process(Process&& other) noexcept { *this = std::move(other); }
  Process& operator=(Process&& other) noexcept;

  pid_t pid() const { return pid_; }
  bool Running() { return pid_ > 0 && Wait(0) < 0; }
  // Waits up to `ms` (< 0: for ever) for the end: the exit status, 128 + the signal that ended
  // it, or -1 while it still runs (and for a process that never started).
  int Wait(int ms);
  // Appends what comes through the pipe to *text until the pipe closes (true) or `ms` pass.
  bool Read(std::string* text, int ms);
  // SIGTERM, then, if it has not ended within `graceMs`, SIGKILL to its whole group: its status.
  int Stop(int graceMs = 5000);
  // What the ended process used: ru_maxrss is its peak resident memory in KiB.
  const rusage& usage() const { return usage_; }

 private:
  void Close();

  pid_t pid_ = -1;
  int pipe_ = -1;
  int status_ = -1;
  rusage usage_{};
};

// Runs a command to its end, stopped after `ms`: its status (-1 when it had to be stopped) and
// its standard output.
struct Output {
  int status = -1;
  std::string text;
};
Output RunCommand(Command command, int ms = 60000);

// Checks `done` every `stepMs` until it holds or `ms` (< 0: no limit) pass: whether it held.
bool WaitUntil(const std::function<bool()>& done, int ms, int stepMs = 50);

// Applies assignments as Command::env takes them to our own environment.
void SetEnvironment(const std::vector<std::string>& assignments);
// The value of an environment variable, "" when it is not set.
std::string GetEnv(const char* name);
// The words of `text`, split on blanks.
std::vector<std::string> Words(const std::string& text);

}  // namespace tobrin_test
