#include "app/main_frame.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "app/app_icon.h"
#include "app/command_ids.h"
#include "app/command_state_adapter.h"
#include "app/gl_canvas.h"
#include "app/menus.h"
#include "app/tobrin_app.h"

namespace {

// The status bar's panes: the message pane, then the three lock indicators.
struct LockPane {
  wxKeyCode key;
  const char* text;
};
constexpr LockPane kLockPanes[3] = {
    {WXK_CAPITAL, "CAP"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "SCRL"}};

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CMainFrame, wxDocParentFrame);

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
  EVT_MENU(ID_MODE_POSITION, CMainFrame::OnViewCommand)
  EVT_MENU(ID_MODE_ORIENTATION, CMainFrame::OnViewCommand)
  EVT_MENU(ID_MODE_JOINTS, CMainFrame::OnViewCommand)
  EVT_MENU(ID_FILE_RESET, CMainFrame::OnViewCommand)
  EVT_MENU(ID_FILE_RESET_JOINTS, CMainFrame::OnViewCommand)
  EVT_MENU(ID_MODE_VISIBLE_ARCBALL, CMainFrame::OnViewCommand)
  EVT_UPDATE_UI(ID_MODE_POSITION, CMainFrame::OnViewCommandState)
  EVT_UPDATE_UI(ID_MODE_ORIENTATION, CMainFrame::OnViewCommandState)
  EVT_UPDATE_UI(ID_MODE_JOINTS, CMainFrame::OnViewCommandState)
  EVT_UPDATE_UI(ID_MODE_VISIBLE_ARCBALL, CMainFrame::OnViewCommandState)
  EVT_MENU(ID_FILE_NEW, CMainFrame::OnDocumentCommand)
  EVT_MENU(ID_FILE_OPEN, CMainFrame::OnDocumentCommand)
  EVT_MENU(ID_FILE_SAVE, CMainFrame::OnDocumentCommand)
  EVT_MENU(ID_APP_EXIT, CMainFrame::OnExit)
  EVT_MENU(ID_APP_ABOUT, CMainFrame::OnAbout)
  EVT_MENU(ID_HELP_INDEX, CMainFrame::OnHelpIndex)
  EVT_MENU_OPEN(CMainFrame::OnMenuOpen)
  EVT_IDLE(CMainFrame::OnIdle)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, "Tobrin", wxDefaultPosition,
                       wxSize(START_WIDTH, START_HEIGHT), STYLE) {
  SetIcons(AppIcons());
  SetMenuBar(CreateMainMenuBar());
  SetAcceleratorTable(CreateMainAccelerators());
  m_canvas = new CTobrinCanvas(this, CTobrinCanvas::PixelFormat());

  wxStatusBar* bar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, ID_STATUS_BAR);
  // The lock panes are as wide as their texts; the message pane takes the rest.
  int widths[4] = {-1, 0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    widths[i + 1] = bar->GetTextExtent(kLockPanes[i].text).x + 2 * bar->GetBorderX() + FromDIP(12);
  }
  bar->SetStatusWidths(4, widths);
  SetStatusText("Ready", 0);
  UpdateLockPanes();
  SetSize(START_WIDTH, START_HEIGHT);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::UpdateLockPanes() {
  wxStatusBar* bar = GetStatusBar();
  if (bar == nullptr) return;
  for (int i = 0; i < 3; ++i) {
    const wxString text = wxGetKeyState(kLockPanes[i].key) ? kLockPanes[i].text : "";
    if (text != m_lockTexts[i]) {
      m_lockTexts[i] = text;
      bar->SetStatusText(text, i + 1);
    }
  }
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  // Idle events come only after other events, so this costs nothing while nothing happens.
  UpdateLockPanes();
  event.Skip();
}

bool CMainFrame::RunStateHandler(int id, CommandState& state) {
  CTobrinView& view = m_canvas->View();
  switch (id) {
    case ID_MODE_POSITION:
      view.OnUpdateModePosition(state);
      return true;
    case ID_MODE_ORIENTATION:
      view.OnUpdateModeOrientation(state);
      return true;
    case ID_MODE_JOINTS:
      view.OnUpdateModeJoints(state);
      return true;
    case ID_MODE_VISIBLE_ARCBALL:
      view.OnUpdateModeVisibleArcball(state);
      return true;
    default:
      return false;
  }
}

void CMainFrame::OnViewCommandState(wxUpdateUIEvent& event) {
  UpdateUIState state(event);
  RunStateHandler(event.GetId(), state);
}

void CMainFrame::OnViewCommand(wxCommandEvent& event) {
  // As a command framework does: its state handler is asked first whether it is enabled.
  EnableTestState test;
  if (RunStateHandler(event.GetId(), test) && !test.Enabled()) return;
  CTobrinView& view = m_canvas->View();
  switch (event.GetId()) {
    case ID_MODE_POSITION:
      view.OnModePosition();
      break;
    case ID_MODE_ORIENTATION:
      view.OnModeOrientation();
      break;
    case ID_MODE_JOINTS:
      view.OnModeJoints();
      break;
    case ID_FILE_RESET:
      view.OnFileReset();
      break;
    case ID_FILE_RESET_JOINTS:
      view.OnFileResetJoints();
      break;
    case ID_MODE_VISIBLE_ARCBALL:
      view.OnModeVisibleArcball();
      break;
    default:
      break;
  }
}

void CMainFrame::OnDocumentCommand(wxCommandEvent& event) {
  wxDocManager* manager = GetDocumentManager();
  switch (event.GetId()) {
    case ID_FILE_NEW:
      manager->OnFileNew(event);
      break;
    case ID_FILE_OPEN:
      manager->OnFileOpen(event);
      break;
    case ID_FILE_SAVE:
      manager->OnFileSave(event);
      break;
    default:
      break;
  }
}

void CMainFrame::OnExit(wxCommandEvent&) {
  Close();
}

void CMainFrame::OnAbout(wxCommandEvent&) {
  wxGetApp().OnAppAbout();
}

void CMainFrame::OnHelpIndex(wxCommandEvent&) {
  ShowHelpIndex();
}

bool CMainFrame::ShowHelpIndex() {
  wxString message;
  if (m_help.DisplayIndex(this, &message)) return true;
  wxMessageBox(message, "Tobrin", wxOK | wxICON_INFORMATION, this);
  return false;
}

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
  // A popup's title has no prompt: the message pane is blank until an item is highlighted.
  DoGiveHelp(wxString(), true);
  event.Skip();
}
