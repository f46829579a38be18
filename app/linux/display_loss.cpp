// Xlib calls its I/O error handler, which must not return, when the connection to the server
// breaks; GDK installs one that ends the program silently. Ours replaces it after GDK's start.
#include <X11/Xlib.h>
#include <unistd.h>

#include <wx/translation.h>

#include <cstdio>
#include <string>

#include "app/display_loss.h"

namespace {

std::function<void()> g_lastWork;
XIOErrorHandler g_previous = nullptr;
std::string g_message;  // the line to say, in the user's language, ready before it is needed

int OnConnectionLost(Display*) {
  std::fputs(g_message.c_str(), stderr);
  if (g_lastWork) g_lastWork();
  // _exit, not exit: exit would run the toolkit's, GLib's and Mesa's exit handlers and static
  // destructors, and those talk to the dead connection (calling this handler again) or wait for
  // threads. Nothing is left to flush: stderr is unbuffered and the settings are on disk.
  ::_exit(1);
}

}  // namespace

DisplayLossHandler::DisplayLossHandler(std::function<void()> lastWork) {
  g_lastWork = std::move(lastWork);
  g_message =
      "tobrin: " +
      std::string(
          _("the connection to the display was lost; saving the settings and ending.").utf8_str()) +
      "\n";
  g_previous = XSetIOErrorHandler(&OnConnectionLost);
}

DisplayLossHandler::~DisplayLossHandler() {
  XSetIOErrorHandler(g_previous);
  g_previous = nullptr;
  g_lastWork = nullptr;
}
