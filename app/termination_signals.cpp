#include "app/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/evtloop.h>

#include <cerrno>
#include <csignal>

namespace {

// Written from the signal handler, so a plain int.
volatile int g_writeEnd = -1;

// SIGHUP comes when the terminal that started the program closes.
constexpr int kSignals[TerminationSignals::kCount] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : m_onSignal(std::move(onSignal)) {}

TerminationSignals::~TerminationSignals() {
  if (g_writeEnd == m_pipe[1]) {
    for (int i = 0; i < kCount; ++i) {
      if (m_installed[i]) sigaction(kSignals[i], &m_previous[i], nullptr);
    }
    g_writeEnd = -1;
  }
  m_source.reset();
  for (int fd : m_pipe) {
    if (fd >= 0) ::close(fd);
  }
}

bool TerminationSignals::Install() {
  if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  m_source.reset(wxEventLoopBase::AddSourceForFD(m_pipe[0], this, wxEVENT_SOURCE_INPUT));
  if (m_source == nullptr) return false;
  g_writeEnd = m_pipe[1];
  struct sigaction action = {};
  action.sa_handler = &TerminationSignals::Handle;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kCount; ++i) {
    if (sigaction(kSignals[i], nullptr, &m_previous[i]) != 0) return false;
    // A hangup ignored from the start (nohup) stays ignored: such a session is meant to
    // outlive its terminal.
    if (kSignals[i] == SIGHUP && m_previous[i].sa_handler == SIG_IGN) continue;
    if (sigaction(kSignals[i], &action, nullptr) != 0) return false;
    m_installed[i] = true;
  }
  return true;
}

void TerminationSignals::Handle(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_writeEnd >= 0) {
    [[maybe_unused]] const ssize_t n = ::write(g_writeEnd, &byte, 1);
  }
  errno = saved;
}

void TerminationSignals::OnReadWaiting() {
  char buffer[64];
  while (::read(m_pipe[0], buffer, sizeof buffer) > 0) {
  }
  if (m_onSignal) m_onSignal();
  // A close finishes in idle time, which only comes after further events: ask for it now.
  wxWakeUpIdle();
}
