#include "app/tobrin_app.h"

#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include <new>

#include "app/doc_manager.h"
#include "app/doc_view_adapter.h"
#include "app/gl_canvas.h"
#include "app/gl_system.h"
#include "app/main_frame.h"
#include "app/path_text.h"
#include "app/tobrin_doc.h"
#include "files/settings_path.h"

CTobrinApp::CTobrinApp() {
  SetAppName("tobrin");
  SetAppDisplayName("Tobrin");
}

CTobrinApp::~CTobrinApp() {
  // Still here only when start-up failed before the event loop ran: nothing to save.
  delete m_docManager;
}

bool CTobrinApp::OnInit() {
  m_startupError.clear();
  bool started = false;
  try {
    started = StartUp();
  } catch (const std::bad_alloc&) {
    m_startupError = _("There is not enough memory to start Tobrin.");
  }
  if (!started) AbandonStartUp();
  return started;
}

void CTobrinApp::AbandonStartUp() {
  m_closeRequests.reset();
  m_displayLoss.reset();
  // Documents and views go first, while their window is still there, as in a normal close.
  if (m_docManager != nullptr) m_docManager->Clear(true);
  if (m_frame) m_frame->Destroy();
  DeletePendingObjects();
  // With no document manager left, nothing can save the settings at exit.
  delete m_docManager;
  m_docManager = nullptr;
}

bool CTobrinApp::StartUp() {
  // The command line is not examined: the program always starts with a new, empty document.
  // No settings object of the toolkit's own: nothing (the help window among others) writes
  // groups of its own into the settings file.
  wxConfigBase::DontCreateOnDemand();
  wxConfigBase::Set(nullptr);

  m_docManager = new CDocManager;
  LoadSettings();
  // Each change of the recent-file list goes to disk at once, so that a session that ends
  // without its exit (killed, its power cut) has lost nothing the user opened.
  m_docManager->SetRecentFilesListener([this](const wxString& file, bool added) {
    if (added) {
      m_settings.Added(PathFromWx(file));
    } else {
      m_settings.Removed(PathFromWx(file));
    }
    SaveSettings();
  });
  // The store is plain file work, so it can still be saved once the display is gone.
  m_displayLoss = std::make_unique<DisplayLossHandler>([this] { m_settings.Save(); });
  // Document name, filter and extension are empty: documents take the default title and the
  // file dialogs list every file.
  new wxDocTemplate(m_docManager, "Tobrin", "*", "", "", "Tobrin", "Tobrin", CLASSINFO(CTobrinDoc),
                    CLASSINFO(CDocViewAdapter));

  m_startupError = OpenGLMissingReason(CTobrinCanvas::PixelFormat());
  if (!m_startupError.empty()) return false;
  m_frame = new CMainFrame(m_docManager);
  SetTopWindow(m_frame);
  m_frame->Show();
  // Show() only asks for the window; a window manager maps it in its own time, and only then
  // can a context be made current on it. The event loop runs meanwhile.
  m_frame->Canvas().CreateSceneWhenShown([this](bool ok) {
    if (!ok) {
      FailStartup(
          _("OpenGL could not be used on this display: no rendering context could be created for "
            "the window."));
    }
  });
  if (m_docManager->CreateNewDocument() == nullptr) {
    m_startupError = _("Failed to create empty document.");
    return false;
  }
  // Marks the menu items before any menu opens.
  m_frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);

  // The system's requests to close (signals, the end of a session) close the window as Exit
  // does, from the event loop.
  m_closeRequests = std::make_unique<SystemCloseRequests>([this] {
    if (m_frame) m_frame->Close(true);
  });
  m_closeRequests->Install();
  return true;
}

void CTobrinApp::FailStartup(const wxString& error) {
  m_startupError = error;
  m_displayLoss.reset();  // a start that failed writes nothing
  // As after a failed OnInit, the documents close while their window is still there. The window
  // is deleted at idle time, after the paint that found the failure, and the loop ends with it.
  if (m_docManager != nullptr) m_docManager->Clear(true);
  if (m_frame) m_frame->Destroy();
  m_frame = nullptr;
}

int CTobrinApp::OnExit() {
  m_closeRequests.reset();
  if (m_docManager != nullptr) {
    if (m_startupError.empty()) SaveSettings();  // a start that failed writes nothing
    m_displayLoss.reset();
    delete m_docManager;
    m_docManager = nullptr;
  }
  return wxApp::OnExit();
}

void CTobrinApp::LoadSettings() {
  m_settings.Load(SettingsFilePath());
  wxFileHistory* history = m_docManager->GetFileHistory();
  // Added oldest first: each addition goes to the top.
  const std::vector<std::string>& recent = m_settings.loaded().recentFiles;
  for (auto it = recent.rbegin(); it != recent.rend(); ++it) {
    history->AddFileToHistory(PathToWx(*it));
  }
}

bool CTobrinApp::SaveSettings() {
  return m_settings.Save();
}
