// The application: settings, the document manager and template, the main window.
#pragma once

#include <wx/app.h>
#include <wx/weakref.h>

#include <memory>
#include <string>

#include "app/settings_file.h"
#include "app/termination_signals.h"

#include "app/main_frame.h"

class CDocManager;

class CTobrinApp : public wxApp {
 public:
  CTobrinApp();
  ~CTobrinApp() override;
  bool OnInit() override;
  int OnExit() override;

  // Help, About: the About box, modal; its result is ignored.
  void OnAppAbout();

  CMainFrame* MainFrame() const { return m_frame; }
  CDocManager* DocManager() const { return m_docManager; }

  // The settings file in use, and what was read from it at start.
  const std::string& SettingsPath() const { return m_settingsPath; }
  const Settings& LoadedSettings() const { return m_settings; }

  // Reads the settings file (the defaults when it is missing, unreadable or bad) and puts its
  // recent files into the document manager's list.
  void LoadSettings();
  // Writes the recent-file list and settings back, atomically. False if the file could not be
  // written (a message has gone to stderr); the old file is then left as it was.
  bool SaveSettings();

  // Why start-up failed, for the caller of the event loop; empty when it did not. Start-up
  // can also fail after OnInit, at the window's first paint, which ends the event loop.
  const wxString& StartupError() const { return m_startupError; }

 private:
  void FailStartup(const wxString& error);

  CDocManager* m_docManager = nullptr;  // deleted at exit
  wxWeakRef<CMainFrame> m_frame;        // owned by the toolkit's window list
  std::string m_settingsPath;
  Settings m_settings;
  wxString m_startupError;
  std::unique_ptr<TerminationSignals> m_signals;
};

wxDECLARE_APP(CTobrinApp);
