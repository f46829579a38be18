#include "bench/wine_session.h"

#include <filesystem>

namespace tobrin_bench {

using namespace tobrin_test;

namespace {

// Runs a Wine command to its end (within `ms`): its status, -1 when it had to be stopped. Its
// output goes to `log`, not to a pipe: the server and the services it may start keep what they
// inherit open long after it has ended.
int RunWine(const std::vector<std::string>& words, const std::vector<std::string>& env,
            const std::string& log, int ms) {
  Process p({words, env, log});
  const int status = p.Wait(ms);
  p.Stop();
  return status;
}

}  // namespace

WineSession::WineSession(const std::string& prefix, const std::string& log) : log_(log) {
  std::error_code ignored;  // a folder that cannot be made fails below, with Wine's messages
  std::filesystem::create_directories(prefix, ignored);
  // A 64-bit prefix of our own; no Mono or Gecko install prompts, no menu entries written into
  // the user's desktop; no debug messages.
  SetEnvironment({"WINEPREFIX=" + prefix, "WINEARCH=win64", "WINEDEBUG=-all",
                  "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"});
  // The prefix first, with a server of its own: wineboot's windows start a desktop process,
  // without a display one that cannot show any window, and it ends in its own time, taking with
  // it whatever shares it. So the session starts only once that server and every process it
  // served have ended, with a server that stays (-p) and a desktop of its own.
  if (RunWine({"wine", "wineboot", "--init"}, {"DISPLAY"}, log_, 300000) != 0) {
    error_ = "wineboot could not make the prefix " + prefix;
    return;
  }
  if (RunWine({"wineserver", "-w"}, {}, log_, 60000) != 0) {
    error_ = "the Wine processes that made the prefix did not end";
    return;
  }
  if (RunWine({"wineserver", "-p"}, {}, log_, 30000) != 0) {
    error_ = "wineserver did not start";
    return;
  }
  // `wine explorer.exe /desktop` runs the desktop under start.exe, which waits for it: while
  // the desktop lives, so does this process.
  desktop_ = Process({{"wine", "explorer.exe", "/desktop"}, {}, log_});
  // It has made the desktop once it has windows on the display (its X windows carry its name);
  // a program started before might start a desktop process of its own instead.
  const Command windows{{"xdotool", "search", "--classname", "^explorer\\.exe$"}};
  const auto shown = [&] { return !RunCommand(windows, 10000).text.empty(); };
  if (!WaitUntil([&] { return !desktop_.Running() || shown(); }, 60000) || !desktop_.Running()) {
    error_ = "the Wine desktop process did not start";
  }
}

WineSession::~WineSession() {
  RunWine({"wineserver", "-k"}, {}, log_, 30000);
  desktop_.Stop();
}

}  // namespace tobrin_bench
