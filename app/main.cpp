// Entry point: checks what the toolkit needs before it starts, then runs the application.
#include <wx/app.h>
#include <wx/init.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>

#include <cstdio>
#include <memory>

#include "app/system_start.h"
#include "app/tobrin_app.h"
#include "app/translations.h"

wxIMPLEMENT_APP_NO_MAIN(CTobrinApp);

namespace {

// One line on stderr, after the program's name.
void Say(const wxString& text) {
  std::fprintf(stderr, "tobrin: %s\n", static_cast<const char*>(text.utf8_str()));
}

void ReportAssertion(const wxString& file, int line, const wxString& function,
                     const wxString& condition, const wxString& message) {
  Say(wxString::Format(_("internal check failed: %s (%s:%d in %s) %s"), condition, file, line,
                       function, message));
}

}  // namespace

int main(int argc, char** argv) {
  // A failed check inside the toolkit is reported, never turned into a modal dialog that
  // stops the program.
  wxSetAssertHandler(&ReportAssertion);

  // The application object before the catalogs, which the toolkit finds through it, and the
  // catalogs before anything is said. The toolkit owns the object once it has started.
  auto app = std::make_unique<CTobrinApp>();
  wxApp::SetInstance(app.get());
  UseTheUsersLanguage();
  if (!PrepareForToolkit()) {
    ForgetTheCatalogs();
    wxApp::SetInstance(nullptr);
    return 1;
  }
  const bool started = wxEntryStart(argc, argv);
  app.release();
  ToolkitStarted();
  if (!started) {
    Say(_("the window system could not be initialised."));
    ForgetTheCatalogs();
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
    if (error.empty()) error = _("Start-up failed.");
    Say(error);
    // Someone who started it from a desktop menu sees no terminal: tell them too.
    wxMessageBox(error, "Tobrin", wxOK | wxICON_ERROR);
    status = 1;
  }
  wxEntryCleanup();
  return status;
}
