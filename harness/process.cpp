// Hand-written over fork and exec: Debian 12 has no process library with a deadline wait, a
// parent-death signal and a group kill after a grace (Boost.Process 1.74 lacks the last two).
#include "harness/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <iterator>
#include <sstream>
#include <thread>
#include <utility>

namespace tobrin_test {

namespace {

using Clock = std::chrono::steady_clock;

// In the child: `fd` writes to the file `path`.
void Redirect(int fd, const std::string& path) {
  ::dup2(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), fd);
}

}  // namespace

Process::Process(const Command& command) {
  std::vector<char*> argv;
  for (const std::string& word : command.argv)
    argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  int fds[2] = {-1, -1};
  if (command.argv.empty() || (command.pipe >= 0 && ::pipe2(fds, O_CLOEXEC) != 0)) return;
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);  // we ended before the line above
    // The signals that end a program as they are by default, even when a test runs under nohup.
    for (int s : {SIGHUP, SIGINT, SIGTERM})
      ::signal(s, SIG_DFL);
    for (int s : command.ignored)
      ::signal(s, SIG_IGN);
    Redirect(STDOUT_FILENO, "/dev/null");
    Redirect(STDERR_FILENO, command.err);
    if (command.pipe >= 0) ::dup2(fds[1], command.pipe);
    SetEnvironment(command.env);  // glibc's allocator stays usable in the child of a fork
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  if (fds[1] >= 0) ::close(fds[1]);
  pipe_ = fds[0];
}

void Process::Close() {
  Stop();
  if (pipe_ >= 0) ::close(pipe_);
  pipe_ = -1;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Close();
    pid_ = std::exchange(other.pid_, -1);
    pipe_ = std::exchange(other.pipe_, -1);
    status_ = std::exchange(other.status_, -1);
    usage_ = other.usage_;
  }
  return *this;
}

int Process::Wait(int ms) {
  WaitUntil(
      [&] {
        int status = 0;
        const pid_t ended = pid_ > 0 && status_ < 0 ? ::wait4(pid_, &status, WNOHANG, &usage_) : 0;
        if (ended == pid_)
          status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (ended < 0 && errno == ECHILD) status_ = 255;  // reaped elsewhere: its status is lost
        return pid_ <= 0 || status_ >= 0;
      },
      ms, 1);
  return status_;
}

bool Process::Read(std::string* text, int ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  char buffer[4096];
  for (ssize_t n = 1; pipe_ >= 0 && n > 0;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    pollfd ready{pipe_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
    n = ::read(pipe_, buffer, sizeof buffer);
    text->append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
  }
  if (pipe_ >= 0) ::close(pipe_);
  pipe_ = -1;
  return true;
}

int Process::Stop(int graceMs) {
  if (pid_ <= 0 || Wait(0) >= 0) return status_;
  ::kill(pid_, SIGTERM);
  if (Wait(graceMs) < 0) {
    ::kill(-pid_, SIGKILL);
    Wait(-1);
  }
  return status_;
}

Output RunCommand(Command command, int ms) {
  command.pipe = STDOUT_FILENO;
  Process process(command);
  Output output;
  if (process.Read(&output.text, ms)) output.status = process.Wait(ms);
  return output;
}

bool WaitUntil(const std::function<bool()>& done, int ms, int stepMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (ms >= 0 && Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
  }
  return true;
}

void SetEnvironment(const std::vector<std::string>& assignments) {
  for (const std::string& a : assignments) {
    const size_t equals = a.find('=');
    if (equals == std::string::npos) {
      ::unsetenv(a.c_str());
    } else {
      ::setenv(a.substr(0, equals).c_str(), a.c_str() + equals + 1, 1);
    }
  }
}

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

}  // namespace tobrin_test
