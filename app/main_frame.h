// The main window: menu bar, accelerators, the drawing canvas and the status bar.
#pragma once

#include <wx/docview.h>

#include <memory>

#include "app/help_book.h"

class CTobrinCanvas;
class CTobrinView;
class CommandState;

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

 private:
  void OnViewCommand(wxCommandEvent& event);
  void OnViewCommandState(wxUpdateUIEvent& event);
  void OnDocumentCommand(wxCommandEvent& event);
  void OnExit(wxCommandEvent& event);
  void OnAbout(wxCommandEvent& event);
  void OnHelpIndex(wxCommandEvent& event);
  void OnMenuOpen(wxMenuEvent& event);
  void OnIdle(wxIdleEvent& event);

  // Runs the view's state handler for a command, if it has one.
  bool RunStateHandler(int id, CommandState& state);

  CTobrinCanvas* m_canvas = nullptr;
  HelpBook m_help;
  wxString m_lockTexts[3];

  wxDECLARE_DYNAMIC_CLASS_NO_COPY(CMainFrame);
  wxDECLARE_EVENT_TABLE();
  CMainFrame() = default;  // for the class registry only
};
