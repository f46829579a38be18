// Entry point: checks what the toolkit needs before it starts, then runs the application.
#include <X11/Xlib.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/tobrin_app.h"

wxIMPLEMENT_APP_NO_MAIN(CTobrinApp);

namespace {

// Opens the display the toolkit will use, or says plainly why it cannot be opened. The
// connection is kept until the toolkit has its own: an X server that resets when its last
// client leaves (Xvfb, xvfb-run) would otherwise reset between the two and refuse the toolkit.
Display* OpenDisplay() {
  const char* name = std::getenv("DISPLAY");
  Display* display = (name != nullptr && name[0] != '\0') ? XOpenDisplay(name) : nullptr;
  if (display != nullptr) return display;
  if (name == nullptr || name[0] == '\0') {
    std::fprintf(stderr,
                 "tobrin: no display: DISPLAY is not set. Tobrin needs a graphical session; "
                 "without one, run it under a virtual X server: xvfb-run -a tobrin\n");
  } else {
    std::fprintf(stderr,
                 "tobrin: cannot open the display \"%s\". Tobrin needs a graphical session; "
                 "without one, run it under a virtual X server: xvfb-run -a tobrin\n",
                 name);
  }
  return nullptr;
}

void ReportAssertion(const wxString& file, int line, const wxString& function,
                     const wxString& condition, const wxString& message) {
  std::fprintf(stderr, "tobrin: internal check failed: %s (%s:%d in %s) %s\n",
               static_cast<const char*>(condition.utf8_str()),
               static_cast<const char*>(file.utf8_str()), line,
               static_cast<const char*>(function.utf8_str()),
               static_cast<const char*>(message.utf8_str()));
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit turns into a failed write that is reported, not a killed program.
  std::signal(SIGXFSZ, SIG_IGN);

  // The toolkit draws OpenGL through GLX only: under Wayland, run on XWayland.
  const char* backend = std::getenv("GDK_BACKEND");
  if (backend == nullptr || backend[0] == '\0') setenv("GDK_BACKEND", "x11", 1);

  // So the toolkit uses X11, which must be reachable: say so plainly when it is not.
  Display* probe = OpenDisplay();
  if (probe == nullptr) return 1;

  // A failed check inside the toolkit is reported, never turned into a modal dialog that
  // stops the program.
  wxSetAssertHandler(&ReportAssertion);

  wxApp::SetInstance(new CTobrinApp);
  const bool started = wxEntryStart(argc, argv);
  XCloseDisplay(probe);
  if (!started) {
    std::fprintf(stderr, "tobrin: the window system could not be initialised.\n");
    return 1;
  }
  const bool initialised = wxTheApp->CallOnInit();
  int status = 0;
  if (initialised) {
    status = wxTheApp->OnRun();
    wxTheApp->OnExit();
  }
  // Start-up fails in OnInit, or later, at the window's first paint.
  if (!initialised || !wxGetApp().StartupError().empty()) {
    wxString error = wxGetApp().StartupError();
    if (error.empty()) error = "Start-up failed.";
    std::fprintf(stderr, "tobrin: %s\n", static_cast<const char*>(error.utf8_str()));
    // Someone who started it from a desktop menu sees no terminal: tell them too.
    wxMessageBox(error, "Tobrin", wxOK | wxICON_ERROR);
    status = 1;
  }
  wxEntryCleanup();
  return status;
}
