// The main window: menu bar, accelerators, the drawing canvas and the status bar.
#pragma once

#include <wx/docview.h>

#include <memory>

#include "app/help_book.h"

class CTobrinCanvas;

class CMainFrame : public wxDocParentFrame {
 public:
  // The frame's style: caption, system menu with its close box, sizing border and minimise
  // box; no maximise box.
  static constexpr long STYLE =
      wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxMINIMIZE_BOX;
  static constexpr int START_WIDTH = 500;  // the whole frame, at start
  static constexpr int START_HEIGHT = 500;

  explicit CMainFrame(wxDocManager* manager);
  ~CMainFrame() override;

  CTobrinCanvas& Canvas() { return *m_canvas; }
  wxStatusBar* StatusBar() { return GetStatusBar(); }

  // Refreshes the CAP, NUM and SCRL panes from the keyboard's lock states.
  void UpdateLockPanes();

  // Help, Index. False, with the message shown to the user, when the book is unavailable.
  bool ShowHelpIndex();

  // Help, About: the About box, modal; its result is ignored.
  void ShowAbout();

  // The status bar, one that screen readers read too.
  wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID id,
                                 const wxString& name) override;

 private:
  void OnMenuOpen(wxMenuEvent& event);
  void OnIdle(wxIdleEvent& event);

  CTobrinCanvas* m_canvas = nullptr;
  HelpBook m_help;
  wxString m_lockNames[3];  // what each lock pane shows while its lock is on
  wxString m_lockTexts[3];  // what each shows now

  wxDECLARE_DYNAMIC_CLASS_NO_COPY(CMainFrame);
  CMainFrame() = default;  // for the class registry only
};
