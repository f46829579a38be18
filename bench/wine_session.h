// A Wine session for measuring Windows programs as they start on a running desktop: a private
// prefix made before any measurement, a wineserver kept running between the programs, and the
// desktop process (explorer.exe /desktop) started by the session and kept until it ends, as
// Windows' shell is there before any program starts. A desktop process that a program starts
// ends about a second after the last program has gone: each run would then start one itself, or
// find the one the run before left, by how soon it followed.
#pragma once

#include <string>
#include <vector>

#include "harness/process.h"

namespace tobrin_bench {

class WineSession {
 public:
  // Makes the prefix in the folder `prefix` (new, or empty) and starts the server and the desktop
  // on the display of our environment; Wine's messages go to `log`. Sets, in our own environment,
  // what makes every Wine program started from here on run in this session. Check ok().
  WineSession(const std::string& prefix, const std::string& log);
  // Ends every process of the session.
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // The exit status of the desktop process started with the session (128 + the signal that
  // ended it), -1 while it runs.
  int DesktopStatus() { return desktop_.Wait(0); }

  // The words that run `program` (a Windows executable) in the session.
  static std::vector<std::string> CommandLine(const std::string& program) {
    return {"wine", program};
  }

 private:
  std::string log_, error_;
  tobrin_test::Process desktop_;
};

}  // namespace tobrin_bench
