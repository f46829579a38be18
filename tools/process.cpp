// Hand-written over fork and exec: Debian 12 has no process library with a deadline wait, a
// parent-death signal and a group kill after a grace (Boost.Process 1.74 lacks the last two).
#include "tools/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <utility>

extern char** environ;

namespace tobrin_test {

namespace {

using Clock = std::chrono::steady_clock;

std::string Name(const std::string& assignment) {
  return assignment.substr(0, assignment.find('='));
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
  std::vector<char*> pointers;
  for (std::string& word : words)
    pointers.push_back(word.data());
  pointers.push_back(nullptr);
  return pointers;
}

// In the child: `fd` writes to the file `path` ("" leaves it as it is).
void Redirect(int fd, const std::string& path) {
  const int file = path.empty() ? -1 : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file >= 0 && file != fd) {
    ::dup2(file, fd);
    ::close(file);
  }
}

}  // namespace

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;)
    words.push_back(word);
  return words;
}

Process::Process(const Command& command) {
  // Everything the child needs is made before the fork: it only redirects and executes.
  std::vector<std::string> argv = command.argv, env;
  for (char** e = environ; *e != nullptr; ++e)
    env.emplace_back(*e);
  for (const std::string& change : command.env) {
    env.erase(std::remove_if(env.begin(), env.end(),
                             [&](const std::string& e) { return Name(e) == Name(change); }),
              env.end());
    if (change.find('=') != std::string::npos) env.push_back(change);
  }
  std::vector<char*> args = Pointers(argv), envp = Pointers(env);
  int fds[2] = {-1, -1};
  if (argv.empty() || (command.pipe >= 0 && ::pipe2(fds, O_CLOEXEC) != 0)) return;
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);  // we ended before the line above
    // The signals that end a program as they are by default, even when a test runs under nohup.
    for (int s : {SIGHUP, SIGINT, SIGTERM})
      ::signal(s, SIG_DFL);
    Redirect(STDOUT_FILENO, command.out);
    Redirect(STDERR_FILENO, command.err);
    if (command.pipe >= 0) ::dup2(fds[1], command.pipe);
    ::execvpe(args[0], args.data(), envp.data());
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
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (pid_ > 0 && status_ < 0) {
    int status = 0;
    const pid_t ended = ::wait4(pid_, &status, ms < 0 ? 0 : WNOHANG, &usage_);
    if (ended == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (ended < 0 && errno == ECHILD) {
      status_ = 255;  // reaped elsewhere: how it ended is lost
    } else if (ms >= 0 && Clock::now() >= end) {
      break;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return status_;
}

bool Process::Read(std::string* text, int ms, const std::string& until) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (pipe_ >= 0 && (until.empty() || text->find(until) == std::string::npos)) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    pollfd ready{pipe_, POLLIN, 0};
    if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(pipe_, buffer, sizeof buffer);
    if (n <= 0) {
      ::close(pipe_);
      pipe_ = -1;
    } else {
      text->append(buffer, static_cast<size_t>(n));
    }
  }
  return until.empty() ? pipe_ < 0 : text->find(until) != std::string::npos;
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

}  // namespace tobrin_test
