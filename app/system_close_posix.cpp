// SIGTERM, SIGINT and SIGHUP: the signal handler only writes a byte to a pipe, and the event
// loop, which watches the pipe, runs the close.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/evtloopsrc.h>

#include <cerrno>

#include "app/system_close.h"

namespace {

// Written from the signal handler, so a plain int.
volatile int g_writeEnd = -1;

constexpr int kCount = 3;
// SIGHUP comes when the terminal that started the program closes.
constexpr int kSignals[kCount] = {SIGTERM, SIGINT, SIGHUP};

void Handle(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_writeEnd >= 0) {
    [[maybe_unused]] const ssize_t n = ::write(g_writeEnd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

struct SystemCloseRequests::Watch : wxEventLoopSourceHandler {
  explicit Watch(std::function<void()> onClose) : onClose(std::move(onClose)) {}

  ~Watch() override {
    if (g_writeEnd == pipe[1]) {
      for (int i = 0; i < kCount; ++i) {
        if (installed[i]) sigaction(kSignals[i], &previous[i], nullptr);
      }
      g_writeEnd = -1;
    }
    source.reset();
    for (int fd : pipe) {
      if (fd >= 0) ::close(fd);
    }
  }

  bool Install() {
    if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    source.reset(wxEventLoopBase::AddSourceForFD(pipe[0], this, wxEVENT_SOURCE_INPUT));
    if (source == nullptr) return false;
    g_writeEnd = pipe[1];
    struct sigaction action = {};
    action.sa_handler = &Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kCount; ++i) {
      if (sigaction(kSignals[i], nullptr, &previous[i]) != 0) return false;
      // A hangup ignored from the start (nohup) stays ignored: such a session is meant to
      // outlive its terminal.
      if (kSignals[i] == SIGHUP && previous[i].sa_handler == SIG_IGN) continue;
      if (sigaction(kSignals[i], &action, nullptr) != 0) return false;
      installed[i] = true;
    }
    return true;
  }

  void OnReadWaiting() override {
    char buffer[64];
    while (::read(pipe[0], buffer, sizeof buffer) > 0) {
    }
    if (onClose) onClose();
    // A close finishes in idle time, which only comes after further events: ask for it now.
    wxWakeUpIdle();
  }
  void OnWriteWaiting() override {}
  void OnExceptionWaiting() override {}

  std::function<void()> onClose;
  int pipe[2] = {-1, -1};
  // What each signal did before, put back on destruction.
  struct sigaction previous[kCount] = {};
  bool installed[kCount] = {};
  std::unique_ptr<wxEventLoopSource> source;
};

SystemCloseRequests::SystemCloseRequests(std::function<void()> onClose)
    : m_watch(std::make_unique<Watch>(std::move(onClose))) {}

SystemCloseRequests::~SystemCloseRequests() = default;

bool SystemCloseRequests::Install() {
  return m_watch->Install();
}
