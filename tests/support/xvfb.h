// A private X server for tests: Xvfb on a display number it chooses itself, stopped with the
// object. Tests that need a real window system start one and touch no other display.
//
// TOBRIN_TEST_WM names a window manager to run on it (openbox, metacity), so that the tests
// see what a desktop does: windows mapped, placed and decorated in the manager's own time.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tobrin_test {

class XvfbServer {
 public:
  // Starts Xvfb with a screen of the given size and any extra arguments (for example
  // {"-extension", "GLX"} to take OpenGL away). Check ok() afterwards.
  explicit XvfbServer(int width = 1280, int height = 1024, std::vector<std::string> extra = {});
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  const std::string& error() const { return error_; }

 private:
  bool StartWindowManager(const std::string& manager);

  pid_t pid_ = -1;
  pid_t managerPid_ = -1;
  std::string display_;
  std::string error_;
};

// A fresh temporary folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Sets the environment a GUI test needs on a private server: DISPLAY, XDG_CONFIG_HOME in
// `config`, an in-memory GSettings backend and no accessibility bus.
void SetGuiTestEnvironment(const std::string& display, const std::string& config);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

}  // namespace tobrin_test
