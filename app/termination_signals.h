// SIGTERM and SIGINT close the program the way Exit does: the signal only writes a byte to a
// pipe, and the event loop, which watches the pipe, runs the close.
#pragma once

#include <wx/evtloopsrc.h>

#include <functional>
#include <memory>

class TerminationSignals : public wxEventLoopSourceHandler {
 public:
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals() override;  // restores the default handlers
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
  std::unique_ptr<wxEventLoopSource> m_source;
};
