#include "harness/xvfb.h"

namespace tobrin_test {

XvfbServer::XvfbServer(const XvfbOptions& options) {
  // Xvfb writes its display number to standard output (-displayfd 1) once it takes connections.
  Command xvfb{{"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
               {},
               options.log,
               STDOUT_FILENO};
  if (!options.resetting) xvfb.argv.push_back("-noreset");
  xvfb.argv.insert(xvfb.argv.end(), options.arguments.begin(), options.arguments.end());
  server_ = Process(xvfb);
  std::string number;
  if (!server_.Read(&number, 10000) || number.empty()) {
    error_ = "Xvfb did not start (is the xvfb package installed?)";
    return;
  }
  display_ = ":" + number.substr(0, number.find('\n'));
  if (options.manager.empty()) return;
  manager_ = Process({{options.manager}, Environment()});
  // A manager announces itself on the root window once it manages the screen.
  const Command root{{"xprop", "-display", display_, "-root", "_NET_SUPPORTING_WM_CHECK"}};
  const auto announced = [&] {
    return RunCommand(root).text.find("window id") != std::string::npos;
  };
  if (WaitUntil([&] { return !manager_.Running() || announced(); }, 10000) && manager_.Running()) {
    return;
  }
  error_ = "the window manager " + options.manager + " did not start on " + display_ +
           " (is its package installed?)";
  display_.clear();
}

std::vector<std::string> XvfbServer::Environment(const std::string& config) const {
  // English, whatever the machine's language: a test that wants another one says so.
  std::vector<std::string> env = {
      "DISPLAY=" + display_, "GSETTINGS_BACKEND=memory", "NO_AT_BRIDGE=1", "GDK_BACKEND=x11",
      "WAYLAND_DISPLAY",     "LC_ALL=C.UTF-8",           "LANGUAGE"};
  if (!config.empty()) env.push_back("XDG_CONFIG_HOME=" + config);
  return env;
}

}  // namespace tobrin_test
