// The system asking the program to close: SIGTERM, SIGINT and SIGHUP on POSIX systems, the end
// of the session (logging off, shutting down) on Windows. Each closes the program the way Exit
// does, from the event loop.
#pragma once

#include <functional>
#include <memory>

class SystemCloseRequests {
 public:
  explicit SystemCloseRequests(std::function<void()> onClose);
  ~SystemCloseRequests();  // puts back what was there before
  SystemCloseRequests(const SystemCloseRequests&) = delete;
  SystemCloseRequests& operator=(const SystemCloseRequests&) = delete;

  // Starts listening; false if the system's means could not be set up.
  bool Install();

 private:
  struct Watch;  // the system's own part
  std::unique_ptr<Watch> m_watch;
};
