// Entry point: checks what the toolkit needs before it starts, then runs the application.
#include <wx/app.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include <cstdio>

#include "app/system_start.h"
#include "app/tobrin_app.h"

wxIMPLEMENT_APP_NO_MAIN(CTobrinApp);

namespace {

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
  if (!PrepareForToolkit()) return 1;

  // A failed check inside the toolkit is reported, never turned into a modal dialog that
  // stops the program.
  wxSetAssertHandler(&ReportAssertion);

  wxApp::SetInstance(new CTobrinApp);
  const bool started = wxEntryStart(argc, argv);
  ToolkitStarted();
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
