#include <X11/Xlib.h>
#include <wx/translation.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/system_start.h"

namespace {

// Kept until the toolkit has its own connection: an X server that resets when its last client
// leaves (Xvfb, xvfb-run) would otherwise reset between the two and refuse the toolkit.
Display* g_probe = nullptr;

// Opens the display the toolkit will use, or says plainly why it cannot be opened.
Display* OpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  Display* display = (name != nullptr && name[0] != '\0') ? XOpenDisplay(name) : nullptr;
  if (display != nullptr) return display;
  // TRANSLATORS: DISPLAY is the environment variable; keep it and the command as they are.
  const wxString text =
      name == nullptr || name[0] == '\0'
          ? _("no display: DISPLAY is not set. Tobrin needs a graphical session; without one, run "
              "it under a virtual X server: xvfb-run -a tobrin")
          : wxString::Format(_("cannot open the display \"%s\". Tobrin needs a graphical "
                               "session; without one, run it under a virtual X server: xvfb-run "
                               "-a tobrin"),
                             name);
  std::fprintf(stderr, "tobrin: %s\n", static_cast<const char*>(text.utf8_str()));
  return nullptr;
}

}  // namespace

bool PrepareForToolkit() {
  // A file size limit turns into a failed write that is reported, not a killed program.
  std::signal(SIGXFSZ, SIG_IGN);

  // The toolkit draws OpenGL through GLX only: under Wayland, run on XWayland.
  const char* backend = std::getenv("GDK_BACKEND");
  if (backend == nullptr || backend[0] == '\0') setenv("GDK_BACKEND", "x11", 1);

  // So the toolkit uses X11, which must be reachable: say so plainly when it is not.
  g_probe = OpenDisplay();
  return g_probe != nullptr;
}

void ToolkitStarted() {
  if (g_probe != nullptr) XCloseDisplay(g_probe);
  g_probe = nullptr;
}
