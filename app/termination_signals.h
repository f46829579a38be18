// SIGTERM, SIGINT and SIGHUP close the program the way Exit does: the signal only writes a byte to
// a pipe, and the event loop, which watches the pipe, runs the close.
#pragma once

#include <signal.h>
#include <wx/evtloopsrc.h>

#include <functional>
#include <memory>

class TerminationSignals : public wxEventLoopSourceHandler {
 public:
  static constexpr int kCount = 3;  // SIGTERM, SIGINT, SIGHUP

  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals() override;  // puts back what the signals did before
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Installs the handlers; false if the pipe or the loop source could not be made.
  bool Install();

  void OnReadWaiting() override;
  void OnWriteWaiting() override {}
  void OnExceptionWaiting() override {}

 private:
  static void Handle(int signal);

  std::function<void()> m_onSignal;
  int m_pipe[2] = {-1, -1};
  // What each signal did before, put back on destruction.
  struct sigaction m_previous[kCount] = {};
  bool m_installed[kCount] = {};
  std::unique_ptr<wxEventLoopSource> m_source;
};
