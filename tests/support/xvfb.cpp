#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

// Last: its macros (None, Bool, Status) would clash with the names of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace tobrin_test {

namespace {

void StopChild(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return;
    ::usleep(20000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
}

// Whether a window manager has announced itself on the display's root window.
bool ManagerRunning(const std::string& display) {
  Display* d = XOpenDisplay(display.c_str());
  if (d == nullptr) return false;
  const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
  bool running = false;
  if (check != None) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    running = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type,
                                 &format, &items, &after, &data) == Success &&
              items == 1;
    if (data != nullptr) XFree(data);
  }
  XCloseDisplay(d);
  return running;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height, std::vector<std::string> extra) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error_ = "pipe failed";
    return;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> args = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                   "-screen",   "0",          screen,
                                   "-nolisten", "tcp",        "-noreset"};
  args.insert(args.end(), extra.begin(), extra.end());
  pid_ = ::fork();
  if (pid_ == 0) {
    // The server ends with the test, even when the test is killed.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::fcntl(fds[1], F_SETFD, 0);  // the write end stays open in Xvfb
    const int devnull = ::open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      ::dup2(devnull, STDOUT_FILENO);
      ::dup2(devnull, STDERR_FILENO);
    }
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp("Xvfb", argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  if (pid_ < 0) {
    ::close(fds[0]);
    error_ = "fork failed";
    return;
  }
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (::poll(&p, 1, 10000) > 0) {
    char c;
    if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  ::close(fds[0]);
  if (number.empty()) {
    error_ = "Xvfb did not start (is the xvfb package installed?)";
    return;
  }
  display_ = ":" + number;
  const char* manager = std::getenv("TOBRIN_TEST_WM");
  if (manager != nullptr && manager[0] != '\0' && !StartWindowManager(manager)) {
    error_ = std::string("the window manager ") + manager + " did not start on " + display_ +
             " (is its package installed?)";
    display_.clear();
  }
}

bool XvfbServer::StartWindowManager(const std::string& manager) {
  managerPid_ = ::fork();
  if (managerPid_ == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::setenv("DISPLAY", display_.c_str(), 1);
    ::setenv("GSETTINGS_BACKEND", "memory", 1);  // no session bus, no settings of the user's
    ::setenv("NO_AT_BRIDGE", "1", 1);
    const int devnull = ::open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      ::dup2(devnull, STDOUT_FILENO);
      ::dup2(devnull, STDERR_FILENO);
    }
    ::execlp(manager.c_str(), manager.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (managerPid_ < 0) return false;
  for (int i = 0; i < 200; ++i) {
    if (ManagerRunning(display_)) return true;
    if (::waitpid(managerPid_, nullptr, WNOHANG) == managerPid_) {
      managerPid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

XvfbServer::~XvfbServer() {
  StopChild(managerPid_);
  StopChild(pid_);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tobrin-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  // Folders a test made unwritable must be writable again to be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::remove_all(path_, ignored);
}

void SetGuiTestEnvironment(const std::string& display, const std::string& config) {
  ::setenv("DISPLAY", display.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::setenv("GSETTINGS_BACKEND", "memory", 1);
  ::setenv("NO_AT_BRIDGE", "1", 1);
  ::setenv("GDK_BACKEND", "x11", 1);
  ::unsetenv("WAYLAND_DISPLAY");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace tobrin_test
