// A private X server: Xvfb on a display number it chooses itself, stopped with the object. The
// tests start theirs so, and so does the desktop benchmark (for scripts/bench); a program on it
// touches no other display.
#pragma once

#include <string>
#include <vector>

#include "harness/process.h"

namespace tobrin_test {

struct XvfbOptions {
  std::vector<std::string> arguments;  // more for Xvfb, for example {"-extension", "GLX"}
  // A server that resets when its last client leaves, as xvfb-run starts it; otherwise it
  // outlives its clients, as a desktop's server does.
  bool resetting = false;
  // A window manager to run on it (openbox, metacity), so that windows are mapped, placed and
  // decorated in the manager's own time, as on a desktop. The tests name it in TOBRIN_TEST_WM.
  std::string manager = GetEnv("TOBRIN_TEST_WM");
  std::string log = "/dev/null";  // where Xvfb's messages go
};

class XvfbServer {
 public:
  explicit XvfbServer(const XvfbOptions& options = {});  // check ok()

  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  const std::string& error() const { return error_; }

  // The environment a GTK program needs on this server, for Command::env or SetEnvironment:
  // DISPLAY, XDG_CONFIG_HOME in `config` (unless empty), an in-memory GSettings backend, no
  // accessibility bus, X11 even when started from a Wayland session, and English.
  std::vector<std::string> Environment(const std::string& config = "") const;

 private:
  Process server_, manager_;
  std::string display_, error_;
};

}  // namespace tobrin_test
