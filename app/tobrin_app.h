// The application: settings, the document manager and template, the main window.
#pragma once

#include <wx/app.h>
#include <wx/weakref.h>

#include <memory>
#include <string>

#include "app/display_loss.h"
#include "app/system_close.h"
#include "files/settings_store.h"

#include "app/main_frame.h"

class CDocManager;

class CTobrinApp : public wxApp {
 public:
  CTobrinApp();
  ~CTobrinApp() override;
  bool OnInit() override;
  int OnExit() override;

  CMainFrame* MainFrame() const { return m_frame; }
  CDocManager* DocManager() const { return m_docManager; }

  // The settings file in use, and what was read from it at start.
  const std::string& SettingsPath() const { return m_settings.path(); }
  const Settings& LoadedSettings() const { return m_settings.loaded(); }

  // Reads the settings file (the defaults when it is missing, unreadable or bad) and puts its
  // recent files into the document manager's list.
  void LoadSettings();
  // Writes the settings back, atomically, this session's recent files merged into the file's
  // list as it is now (SettingsStore::Save). False, with a message on stderr, if the file was
  // not written: it could not be, or it is not Tobrin's to replace (it could not be read as a
  // settings file, at start or now). The old file is then left as it was. Called at exit and
  // whenever the recent-file list changes.
  bool SaveSettings();

  // Why start-up failed, for the caller of the event loop; empty when it did not. Start-up
  // can also fail after OnInit, at the window's first paint, which ends the event loop.
  const wxString& StartupError() const { return m_startupError; }

 private:
  // Everything OnInit does; false, with m_startupError set, when the program cannot start.
  bool StartUp();
  // After a failed start: lets go of the window and the document manager, so that nothing
  // is left for the exit to save.
  void AbandonStartUp();
  // Start-up failing at the window's first paint, inside the event loop: the window goes, and
  // the loop ends with it.
  void FailStartup(const wxString& error);

  CDocManager* m_docManager = nullptr;  // deleted at exit
  wxWeakRef<CMainFrame> m_frame;        // owned by the toolkit's window list
  SettingsStore m_settings;
  wxString m_startupError;
  std::unique_ptr<SystemCloseRequests> m_closeRequests;
  // Set while a lost display should still save the settings: from start-up until the exit.
  std::unique_ptr<DisplayLossHandler> m_displayLoss;
};

wxDECLARE_APP(CTobrinApp);
