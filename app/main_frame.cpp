#include "app/main_frame.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include "app/about_dialog.h"
#include "app/accessible_text.h"
#include "app/app_icon.h"
#include "app/command_ids.h"
#include "app/command_state_adapter.h"
#include "app/gl_canvas.h"
#include "app/menus.h"

namespace {

// The status bar's panes: the message pane, then the three lock indicators.
struct LockPane {
  wxKeyCode key;
  const char* text;
};
constexpr LockPane kLockPanes[3] = {{WXK_CAPITAL, wxTRANSLATE("CAP")},
                                    {WXK_NUMLOCK, wxTRANSLATE("NUM")},
                                    {WXK_SCROLL, wxTRANSLATE("SCRL")}};

// A command of the menus and accelerators: its handler, and the view's state handler that
// decides whether it is enabled and sets its mark (none: always enabled, unmarked).
struct Command {
  int id;
  void (*run)(CMainFrame& frame, wxCommandEvent& event);
  void (*state)(CTobrinView& view, CommandState& state);
};

template <void (CTobrinView::*Handler)()>
void OnView(CMainFrame& frame, wxCommandEvent&) {
  (frame.Canvas().View().*Handler)();
}

// A state handler, const or not, as the table's one function type.
template <auto Handler>
void StateOf(CTobrinView& view, CommandState& state) {
  (view.*Handler)(state);
}

template <void (wxDocManager::*Handler)(wxCommandEvent&)>
void OnDocument(CMainFrame& frame, wxCommandEvent& event) {
  (frame.GetDocumentManager()->*Handler)(event);
}

void OnExit(CMainFrame& frame, wxCommandEvent&) {
  frame.Close();
}
void OnAbout(CMainFrame& frame, wxCommandEvent&) {
  frame.ShowAbout();
}
void OnHelpIndex(CMainFrame& frame, wxCommandEvent&) {
  frame.ShowHelpIndex();
}

using V = CTobrinView;
const Command kCommands[] = {
    {ID_MODE_POSITION, OnView<&V::OnModePosition>, StateOf<&V::OnUpdateModePosition>},
    {ID_MODE_ORIENTATION, OnView<&V::OnModeOrientation>, StateOf<&V::OnUpdateModeOrientation>},
    {ID_MODE_JOINTS, OnView<&V::OnModeJoints>, StateOf<&V::OnUpdateModeJoints>},
    {ID_FILE_RESET, OnView<&V::OnFileReset>, nullptr},
    {ID_FILE_RESET_JOINTS, OnView<&V::OnFileResetJoints>, nullptr},
    {ID_MODE_VISIBLE_ARCBALL, OnView<&V::OnModeVisibleArcball>,
     StateOf<&V::OnUpdateModeVisibleArcball>},
    {ID_FILE_NEW, OnDocument<&wxDocManager::OnFileNew>, nullptr},
    {ID_FILE_OPEN, OnDocument<&wxDocManager::OnFileOpen>, nullptr},
    {ID_FILE_SAVE, OnDocument<&wxDocManager::OnFileSave>, nullptr},
    {ID_APP_EXIT, OnExit, nullptr},
    {ID_APP_ABOUT, OnAbout, nullptr},
    {ID_HELP_INDEX, OnHelpIndex, nullptr},
};

// As a command framework does: a command's state handler is asked first whether it is enabled.
void Run(const Command& command, CMainFrame& frame, wxCommandEvent& event) {
  if (command.state != nullptr) {
    EnableTestState test;
    command.state(frame.Canvas().View(), test);
    if (!test.Enabled()) return;
  }
  command.run(frame, event);
}

// The status bar, telling screen readers what its message pane reads.
class AccessibleStatusBar : public wxStatusBar {
 public:
  AccessibleStatusBar(wxWindow* parent, wxWindowID id, long style, const wxString& name)
      : wxStatusBar(parent, id, style, name) {}

 protected:
  // Every change of a pane's text comes here: set, pushed over or popped back (a menu's prompt).
  void DoUpdateStatusText(int number) override {
    wxStatusBar::DoUpdateStatusText(number);
    if (number == 0) SetAccessibleStatus(*this, GetStatusText(0));
  }
};

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CMainFrame, wxDocParentFrame);

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, "Tobrin", wxDefaultPosition,
                       wxSize(START_WIDTH, START_HEIGHT), STYLE) {
  for (const Command& command : kCommands) {
    Bind(
        wxEVT_MENU, [this, &command](wxCommandEvent& event) { Run(command, *this, event); },
        command.id);
    if (command.state == nullptr) continue;
    Bind(
        wxEVT_UPDATE_UI,
        [this, &command](wxUpdateUIEvent& event) {
          UpdateUIState state(event);
          command.state(m_canvas->View(), state);
        },
        command.id);
  }
  Bind(wxEVT_MENU_OPEN, &CMainFrame::OnMenuOpen, this);
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
  SetIcons(AppIcons());
  SetMenuBar(CreateMainMenuBar());
  SetAcceleratorTable(CreateMainAccelerators());
  m_canvas = new CTobrinCanvas(this, CTobrinCanvas::PixelFormat());

  wxStatusBar* bar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, ID_STATUS_BAR);
  // The lock panes are as wide as their texts; the message pane takes the rest.
  int widths[4] = {-1, 0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    m_lockNames[i] = wxGetTranslation(kLockPanes[i].text);
    widths[i + 1] = bar->GetTextExtent(m_lockNames[i]).x + 2 * bar->GetBorderX() + FromDIP(12);
  }
  bar->SetStatusWidths(4, widths);
  SetStatusText(_("Ready"), 0);
  UpdateLockPanes();
  // In the pixels of a 96-dpi screen, as on the desktops it was laid out for: a window on a
  // scaled Windows display grows with its scale (GTK scales its own pixels already).
  SetSize(FromDIP(wxSize(START_WIDTH, START_HEIGHT)));
}

CMainFrame::~CMainFrame() = default;

wxStatusBar* CMainFrame::OnCreateStatusBar(int number, long style, wxWindowID id,
                                           const wxString& name) {
  auto* bar = new AccessibleStatusBar(this, id, style, name);
  bar->SetFieldsCount(number);
  return bar;
}

void CMainFrame::UpdateLockPanes() {
  wxStatusBar* bar = GetStatusBar();
  if (bar == nullptr) return;
  for (int i = 0; i < 3; ++i) {
    const wxString text = wxGetKeyState(kLockPanes[i].key) ? m_lockNames[i] : wxString();
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

void CMainFrame::ShowAbout() {
  CAboutDlg dialog(this);
  dialog.ShowModal();
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
