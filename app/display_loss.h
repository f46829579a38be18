// The end of the program when the connection to its display breaks (the X server stopped, the
// ssh connection carrying it dropped, the session crashed). The toolkit would end it at once,
// silently; instead it says so on stderr in one line, runs a last piece of work, and ends with
// status 1.
#pragma once

#include <functional>

class DisplayLossHandler {
 public:
  // From now until the object goes, a lost connection runs `lastWork` and ends the program.
  // `lastWork` may do plain file work only: nothing of the toolkit or the window system can
  // run once the connection is gone. One handler at a time.
  explicit DisplayLossHandler(std::function<void()> lastWork);
  // Puts back the handler there was before.
  ~DisplayLossHandler();
  DisplayLossHandler(const DisplayLossHandler&) = delete;
  DisplayLossHandler& operator=(const DisplayLossHandler&) = delete;
};
