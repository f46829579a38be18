// The application shell in process: window, menus, prompts, commands, documents, About,
// help and settings.
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/html/helpdata.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/translation.h>

#include "app/command_ids.h"
#include "app/doc_manager.h"
#include "app/file_dialog.h"
#include "app/help_book.h"
#include "app/path_text.h"
#include "app/translations.h"
#include "model/joints.h"
#include "tests/support/figure_table.h"
#include "tests/support/matrix_checks.h"
#include "tests/support/scene_helpers.h"
#include "tests/support/shell_fixture.h"
#include "tests/support/tree_state.h"
#include "tests/support/view_events.h"

namespace {

using namespace tobrin_test;

// Set, GLU's allocation of the view's guide quadric fails: out of memory while the main window
// is built.
bool g_quadricFails = false;

}  // namespace

GLUquadric* gluNewQuadric() {
  static const auto real = reinterpret_cast<GLUquadric* (*)()>(dlsym(RTLD_NEXT, "gluNewQuadric"));
  return g_quadricFails ? nullptr : real();
}

namespace {

wxArrayString OnePath(const std::string& path) {
  wxArrayString paths;
  paths.Add(wxString::FromUTF8(path));
  return paths;
}

class Shell : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(StartApp()) << app().StartupError();
  }

  wxString Status() { return frame().GetStatusBar()->GetStatusText(0); }
  wxDocument* Document() { return app().DocManager()->GetCurrentDocument(); }

  std::vector<wxString> History() {
    std::vector<wxString> files;
    const wxFileHistory* h = app().DocManager()->GetFileHistory();
    for (size_t i = 0; i < h->GetCount(); ++i)
      files.push_back(h->GetHistoryFile(i));
    return files;
  }

  void TearDown() override {
    SetFileDialogAnswer(nullptr);
    ShellTest::TearDown();
  }

  // How the last file dialog asked: its title, its file types, the name it proposed, its style.
  struct Asked {
    wxString title, wildcard, proposed;
    long style = 0;
  } asked_;

  // Answers file dialogs with `path` (or cancels them), noting in asked_ how they asked.
  void AnswerFileDialog(const std::string& path) {
    SetFileDialogAnswer([this, path](wxFileDialog& files) {
      asked_ = {files.GetMessage(), files.GetWildcard(), files.GetFilename(),
                files.GetWindowStyle()};
      return PathToWx(path);
    });
  }

  TreeState Snapshot() { return TakeTreeState(view().m_pRoot.get()); }
};

TEST_F(Shell, StartsWithTheFrameCaptionStyleSizeAndReady) {
  EXPECT_EQ(frame().GetTitle(), "Tobrin");
  EXPECT_EQ(frame().GetSize(), wxSize(500, 500));
  for (long style : {wxCAPTION, wxSYSTEM_MENU, wxRESIZE_BORDER, wxMINIMIZE_BOX})
    EXPECT_TRUE(frame().HasFlag(style)) << style;
  EXPECT_FALSE(frame().HasFlag(wxMAXIMIZE_BOX));
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(frame().GetStatusBar()->GetFieldsCount(), 4);
  ASSERT_NE(Document(), nullptr);
  EXPECT_EQ(Document()->GetTitle(), "Untitled");
  EXPECT_TRUE(view().IsCreated());
  // The drawing area is what is left of 500 x 500 by the menu bar and status bar (and by the
  // frame a window manager draws).
  const wxSize canvas = frame().Canvas().GetClientSize();
  EXPECT_EQ(canvas.x, frame().GetClientSize().x);
  EXPECT_GT(canvas.x, 480);
  EXPECT_GT(canvas.y, 400);
  EXPECT_LT(canvas.y, 480);
  EXPECT_EQ(view().m_nWidth, canvas.x);
  EXPECT_EQ(view().m_nHeight, canvas.y);
}

TEST_F(Shell, MenusHaveTheirItemsTextsKindsAndOrder) {
  struct Item {
    const char* text;
    int id;
    wxItemKind kind;
  };
  struct Menu {
    const char* title;
    std::vector<Item> items;
  };
  const std::vector<Menu> expected = {
      {"&File",
       {{"&Reset", ID_FILE_RESET, wxITEM_NORMAL},
        {"Reset &Joints", ID_FILE_RESET_JOINTS, wxITEM_NORMAL},
        {"E&xit", ID_APP_EXIT, wxITEM_NORMAL}}},
      {"&Mode",
       {{"&Position", ID_MODE_POSITION, wxITEM_RADIO},
        {"&Orientation", ID_MODE_ORIENTATION, wxITEM_RADIO},
        {"&Joints", ID_MODE_JOINTS, wxITEM_RADIO},
        {"", wxID_SEPARATOR, wxITEM_SEPARATOR},
        {"Visible &Arcball", ID_MODE_VISIBLE_ARCBALL, wxITEM_CHECK}}},
      {"&Help",
       {{"&Index", ID_HELP_INDEX, wxITEM_NORMAL},
        {"&About Tobrin...", ID_APP_ABOUT, wxITEM_NORMAL}}},
  };
  wxMenuBar* bar = frame().GetMenuBar();
  ASSERT_EQ(bar->GetMenuCount(), expected.size());
  for (size_t m = 0; m < expected.size(); ++m) {
    EXPECT_EQ(bar->GetMenuLabel(m), expected[m].title);
    const wxMenuItemList& items = bar->GetMenu(m)->GetMenuItems();
    ASSERT_EQ(items.size(), expected[m].items.size()) << expected[m].title;
    size_t i = 0;
    for (const wxMenuItem* item : items) {
      const Item& want = expected[m].items[i++];
      EXPECT_EQ(item->GetKind(), want.kind) << want.text;
      if (want.kind == wxITEM_SEPARATOR) continue;
      EXPECT_EQ(item->GetItemLabel(), want.text);
      EXPECT_EQ(item->GetId(), want.id) << want.text;
      EXPECT_TRUE(item->IsEnabled()) << want.text;
    }
  }

  // The frame's accelerator table sends each key to its command, and only with its modifiers:
  // modifiers, key code, command.
  const std::tuple<int, int, int> keys[] = {
      {wxACCEL_CTRL, 'N', ID_FILE_NEW},           {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
      {wxACCEL_CTRL, 'S', ID_FILE_SAVE},          {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},
      {wxACCEL_CTRL, 'X', ID_EDIT_CUT},           {wxACCEL_CTRL, 'C', ID_EDIT_COPY},
      {wxACCEL_CTRL, 'V', ID_EDIT_PASTE},         {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO},
      {wxACCEL_SHIFT, WXK_DELETE, ID_EDIT_CUT},   {wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY},
      {wxACCEL_SHIFT, WXK_INSERT, ID_EDIT_PASTE}, {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
      {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},      {wxACCEL_NORMAL, WXK_F1, ID_HELP_INDEX},
  };
  const wxAcceleratorTable* table = frame().GetAcceleratorTable();
  ASSERT_TRUE(table->IsOk());
  const auto commandOf = [&](int code, int flags) {
    wxKeyEvent press(wxEVT_KEY_DOWN);
    press.m_keyCode = code;
    press.SetControlDown(flags & wxACCEL_CTRL);
    press.SetAltDown(flags & wxACCEL_ALT);
    press.SetShiftDown(flags & wxACCEL_SHIFT);
    return table->GetCommand(press);
  };
  for (const auto& [flags, code, id] : keys)
    EXPECT_EQ(commandOf(code, flags), id) << code << " with " << flags;
  EXPECT_EQ(commandOf('O', wxACCEL_NORMAL), -1);
  EXPECT_EQ(commandOf('O', wxACCEL_CTRL | wxACCEL_SHIFT), -1);
}

TEST_F(Shell, HighlightedItemsShowTheirPromptsAndClosingRestoresReady) {
  const std::pair<int, wxString> rows[] = {
      {ID_MODE_POSITION, "Translate the tobrin."},
      {ID_MODE_ORIENTATION, "Rotate the tobrin."},
      {ID_MODE_JOINTS, "Select the parts and then rotate about the joints."},
      {ID_FILE_RESET, "Reset the position and orientation of the tobrin."},
      {ID_FILE_RESET_JOINTS, "Reset the joints to the original position."},
      {ID_MODE_VISIBLE_ARCBALL, "Visualize the visual arcball in Orientation Mode"},
      {ID_APP_EXIT, wxGetStockHelpString(wxID_EXIT)},
      {ID_APP_ABOUT, wxGetStockHelpString(wxID_ABOUT)},
      {ID_HELP_INDEX, ""},
      {wxID_SEPARATOR, ""},
      {wxID_NONE, ""},
  };
  ASSERT_FALSE(wxGetStockHelpString(wxID_EXIT).empty());
  wxMenu* mode = frame().GetMenuBar()->GetMenu(1);
  // Screen readers read the status bar as one, with the message pane's text.
  AtkObject* bar = gtk_widget_get_accessible(GTK_WIDGET(frame().GetStatusBar()->GetHandle()));
  EXPECT_EQ(atk_object_get_role(bar), ATK_ROLE_STATUSBAR);
  // Sends the frame a menu event as the toolkit does: the status text it leaves.
  const auto send = [&](wxEventType type, int id, wxMenu* menu) {
    wxMenuEvent event(type, id, menu);
    frame().GetEventHandler()->ProcessEvent(event);
    EXPECT_EQ(wxString::FromUTF8(atk_object_get_name(bar)), Status())
        << "what a screen reader reads";
    return Status();
  };
  for (const auto& [id, prompt] : rows) {
    EXPECT_EQ(send(wxEVT_MENU_OPEN, 0, mode), "") << "a popup's title has no prompt";
    EXPECT_EQ(send(wxEVT_MENU_HIGHLIGHT, id, nullptr), prompt) << id;
    EXPECT_EQ(send(wxEVT_MENU_CLOSE, 0, mode), "Ready") << id;
  }
}

TEST_F(Shell, ModeCommandsMoveTheBulletAndVisibleArcballItsCheck) {
  // Whether the item shows its bullet or check, as its menu would if opened now.
  const auto checked = [&](int id) {
    frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    return frame().GetMenuBar()->IsChecked(id);
  };
  EXPECT_TRUE(checked(ID_MODE_ORIENTATION));
  EXPECT_FALSE(checked(ID_MODE_VISIBLE_ARCBALL));
  Command(ID_MODE_JOINTS);
  EXPECT_EQ(view().m_nMode, MODE_JOINTS);
  EXPECT_TRUE(checked(ID_MODE_JOINTS));
  EXPECT_FALSE(checked(ID_MODE_ORIENTATION));
  Command(ID_MODE_POSITION);
  EXPECT_TRUE(checked(ID_MODE_POSITION));
  Command(ID_MODE_VISIBLE_ARCBALL);
  EXPECT_TRUE(view().m_bArcballVisible);
  EXPECT_TRUE(checked(ID_MODE_VISIBLE_ARCBALL));
  Command(ID_MODE_VISIBLE_ARCBALL);
  EXPECT_FALSE(checked(ID_MODE_VISIBLE_ARCBALL));
}

TEST_F(Shell, ResetCommandsReachTheView) {
  PoseTheFigure(view(), {"LeftShin"});
  const PartNode* shin = Part(view().m_pRoot.get(), "LeftShin");
  Command(ID_FILE_RESET);
  EXPECT_TRUE(MatricesNear(view().m_pRoot->matrix, kIdentity, 0.0));
  EXPECT_NE(shin->angle, 0.0);
  Command(ID_FILE_RESET_JOINTS);
  EXPECT_EQ(shin->angle, 0.0);
  EXPECT_EQ(shin->selected, 1);
}

TEST_F(Shell, NewKeepsDocumentViewWindowAndFigure) {
  PoseTheFigure(view(), {"LeftShin"});
  const TreeState before = Snapshot();
  wxDocument* doc = Document();
  CTobrinView* v = &view();
  Command(ID_FILE_NEW);
  EXPECT_EQ(Document(), doc);
  EXPECT_EQ(&view(), v);
  EXPECT_TRUE(SameTree(Snapshot(), before));
  EXPECT_EQ(view().m_nMode, MODE_JOINTS);
  EXPECT_EQ(Document()->GetTitle(), "Untitled");
  EXPECT_EQ(frame().GetTitle(), "Tobrin");
  EXPECT_EQ(dialogs_.entered, 0);  // no save question
}

TEST_F(Shell, OpenGivesTheDocumentTheFileAndTheRecentListAndReadsNothing) {
  const std::string path = files_ / "figure.dat";
  WriteFile(path, "kept as it is");
  PoseTheFigure(view(), {"LeftShin"});
  const TreeState before = Snapshot();
  AnswerFileDialog(path);
  Command(ID_FILE_OPEN);
  EXPECT_EQ(asked_.title, "Open");
  EXPECT_EQ(asked_.wildcard, "All Files (*.*)|*");
  EXPECT_EQ(Document()->GetFilename(), path);
  EXPECT_EQ(Document()->GetTitle(), "figure.dat");
  EXPECT_EQ(frame().GetTitle(), "Tobrin");
  ASSERT_FALSE(History().empty());
  EXPECT_EQ(History()[0], path);
  EXPECT_TRUE(SameTree(Snapshot(), before));
  EXPECT_EQ(view().m_nMode, MODE_JOINTS);
  EXPECT_TRUE(log_->errors.empty());

  // Save of an opened document writes nothing over it, and asks nothing.
  int asked = 0;
  SetFileDialogAnswer([&](wxFileDialog&) { return ++asked, wxString(); });
  Command(ID_FILE_SAVE);
  EXPECT_EQ(ReadFile(path), "kept as it is");
  EXPECT_EQ(asked, 0);

  // Cancel does nothing.
  AnswerFileDialog("");
  Command(ID_FILE_OPEN);
  EXPECT_EQ(Document()->GetFilename(), path);
}

TEST_F(Shell, FilesThatCannotBeOpenedGetOneMessageAndChangeNothing) {
  const std::string good = files_ / "good.dat";
  WriteFile(good, "");
  AnswerFileDialog(good);
  Command(ID_FILE_OPEN);
  ASSERT_EQ(Document()->GetFilename(), good);
  const std::string pipe = files_ / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // A folder or a missing file fail; a named pipe opens at once without blocking.
  const std::pair<std::string, bool> opens[] = {
      {files_.path(), false}, {files_ / "missing.dat", false}, {pipe, true}};
  for (const auto& [path, opened] : opens) {
    log_->errors.clear();
    app().DocManager()->CreateDocument(wxString::FromUTF8(path), 0);
    Pump(1);
    if (opened) {
      EXPECT_TRUE(log_->errors.empty()) << path;
      EXPECT_EQ(Document()->GetFilename(), path);
    } else {
      ASSERT_EQ(log_->errors.size(), 1u) << path;
      EXPECT_NE(log_->errors[0].Find(wxString::FromUTF8(path)), wxNOT_FOUND);
      EXPECT_EQ(Document()->GetFilename(), good) << path;
      EXPECT_EQ(History()[0], good);
    }
  }
}

TEST_F(Shell, SaveOfANewDocumentCreatesAnEmptyFileAfterAskingForItsName) {
  const std::string path = files_ / "saved.tob";
  WriteFile(path, "to be replaced");
  AnswerFileDialog(path);
  Command(ID_FILE_SAVE);
  EXPECT_EQ(asked_.title, "Save As");
  EXPECT_EQ(asked_.wildcard, "All Files (*.*)|*");
  EXPECT_EQ(asked_.proposed, "Untitled");
  EXPECT_TRUE(asked_.style & wxFD_OVERWRITE_PROMPT);
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_EQ(Document()->GetFilename(), path);
  EXPECT_EQ(History()[0], path);
  EXPECT_EQ(frame().GetTitle(), "Tobrin");
}

TEST_F(Shell, ASaveThatFailsSaysSoAndChangesNothing) {
  AnswerFileDialog(files_ / "no/such/folder/x.tob");
  Command(ID_FILE_SAVE);
  ASSERT_EQ(log_->errors.size(), 1u);
  EXPECT_NE(log_->errors[0].Find("could not be saved"), wxNOT_FOUND) << log_->errors[0];
  EXPECT_EQ(Document()->GetTitle(), "Untitled");
  EXPECT_TRUE(History().empty());
}

TEST_F(Shell, TheAboutBoxIsModalOneAtATimeWithItsCaptionIconVersionAndDefaultOK) {
  wxString caption;
  std::vector<wxString> texts;
  bool hasIcon = false, okIsDefault = false;
  dialogs_.answer = [&](wxDialog* dialog) {
    caption = dialog->GetTitle();
    for (wxWindow* child : dialog->GetChildren()) {
      if (auto* text = dynamic_cast<wxStaticText*>(child)) texts.push_back(text->GetLabel());
      if (auto* icon = dynamic_cast<wxStaticBitmap*>(child)) hasIcon = icon->GetBitmap().IsOk();
      if (auto* button = dynamic_cast<wxButton*>(child)) {
        okIsDefault = button->GetId() == wxID_OK && button->GetLabel() == "OK" &&
                      dialog->GetDefaultItem() == button;
      }
    }
    return wxID_OK;
  };
  Command(ID_APP_ABOUT);
  Command(ID_APP_ABOUT);
  EXPECT_EQ(dialogs_.entered, 2);
  EXPECT_EQ(dialogs_.maxOpen, 1);
  EXPECT_EQ(caption, "About tobrin");
  ASSERT_EQ(texts.size(), 6u);  // three lines, twice
  EXPECT_EQ(texts[0], "Tobrin Version 1.0");
  EXPECT_FALSE(texts[1].empty());
  EXPECT_FALSE(texts[2].empty());
  EXPECT_TRUE(hasIcon);
  EXPECT_TRUE(okIsDefault);
}

TEST_F(Shell, HelpWithoutItsBookSaysSoAndChangesNothing) {
  // The test program's folder holds no help book.
  const TreeState before = Snapshot();
  wxString message;
  dialogs_.answer = [&](wxDialog* dialog) {
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) message = box->GetMessage();
    return wxID_OK;
  };
  Command(ID_HELP_INDEX);
  EXPECT_NE(message.Find("help book could not be found"), wxNOT_FOUND) << message;
  EXPECT_TRUE(SameTree(Snapshot(), before));
  EXPECT_EQ(view().m_nMode, MODE_ORIENTATION);
}

TEST_F(Shell, HelpBooksThatAreMissingDamagedOrFineAreToldApart) {
  TempDir books;
  std::filesystem::copy(TOBRIN_SOURCE_DIR "/res/help", books / "good");
  std::filesystem::create_directories(books / "damaged");
  WriteFile(books / "damaged/tobrin.hhp", "\x01\x02 not a help project \xff");
  wxString message;
  HelpBook missing(OnePath(books / "none/tobrin.hhp"));
  EXPECT_FALSE(missing.DisplayIndex(&frame(), &message));
  EXPECT_NE(message.Find("could not be found"), wxNOT_FOUND);
  HelpBook damaged(OnePath(books / "damaged/tobrin.hhp"));
  EXPECT_FALSE(damaged.DisplayIndex(&frame(), &message));
  EXPECT_NE(message.Find("could not be read"), wxNOT_FOUND);
  HelpBook good(OnePath(books / "good/tobrin.hhp"));
  EXPECT_TRUE(good.DisplayIndex(&frame(), &message)) << message;
  Pump();
  EXPECT_TRUE(std::any_of(wxTopLevelWindows.begin(), wxTopLevelWindows.end(), [](wxWindow* w) {
    return w->IsShown() && w->GetLabel().Contains("Help");
  }));
}

TEST_F(Shell, AHelpWindowStillOpenLetsGoOfItsControllerWhenTheBookGoes) {
  // The toolkit deletes the help window after its book (at idle time, or with the main window):
  // by then it must no longer refer to the book's controller, or it writes into freed memory.
  wxString message;
  wxHtmlHelpFrame* helpFrame = nullptr;
  {
    HelpBook book(OnePath(TOBRIN_SOURCE_DIR "/res/help/tobrin.hhp"));
    ASSERT_TRUE(book.DisplayIndex(&frame(), &message)) << message;
    Pump();
    for (wxWindow* w : wxTopLevelWindows)
      if (auto* f = dynamic_cast<wxHtmlHelpFrame*>(w)) helpFrame = f;
    ASSERT_NE(helpFrame, nullptr);
    ASSERT_NE(helpFrame->GetHelpWindow()->GetController(), nullptr);
  }
  // The frame waits for idle time to be deleted; its help window already let go.
  EXPECT_EQ(helpFrame->GetHelpWindow()->GetController(), nullptr);
  Pump();
  for (wxWindow* w : wxTopLevelWindows)
    EXPECT_EQ(dynamic_cast<wxHtmlHelpFrame*>(w), nullptr) << "the help window is still there";
}

// Sends a mouse event of the given type at a point of the canvas.
void Mouse(CTobrinCanvas& canvas, wxEventType type, int x, int y) {
  wxMouseEvent event(type);
  event.SetPosition(wxPoint(x, y));
  event.SetEventObject(&canvas);
  canvas.GetEventHandler()->ProcessEvent(event);
}

TEST_F(Shell, AReleaseAwayFromTheLastMoveFinishesTheDragThere) {
  // GTK may drop the last motion before a release: the release's own position still counts.
  view().OnModeJoints();
  PartNode* shin = Part(view().m_pRoot.get(), "LeftShin");
  shin->selected = 1;
  Mouse(frame().Canvas(), wxEVT_RIGHT_DOWN, 100, 100);
  Mouse(frame().Canvas(), wxEVT_MOTION, 100, 110);
  Mouse(frame().Canvas(), wxEVT_RIGHT_UP, 100, 140);
  EXPECT_EQ(shin->angle, 40.0);
  EXPECT_EQ(view().m_nDragButton, DRAG_NONE);
  // A release where the last move was adds nothing.
  Mouse(frame().Canvas(), wxEVT_RIGHT_DOWN, 100, 140);
  Mouse(frame().Canvas(), wxEVT_RIGHT_UP, 100, 140);
  EXPECT_EQ(shin->angle, 40.0);
}

TEST_F(Shell, ADoubleClickTogglesAPartOnceHoweverItsSecondPressComes) {
  view().OnModeJoints();
  CTobrinCanvas& canvas = frame().Canvas();
  const auto head = FrontFaceCentre(view().m_pRoot.get(), "Head", DEFAULT_CAMERA, view().m_nWidth,
                                    view().m_nHeight);
  const long slow = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, &canvas) + 1;
  const int far = wxSystemSettings::GetMetric(wxSYS_DCLICK_X, &canvas) / 2 + 1;
  // Left-button events: type, milliseconds after the first press, pixels to the right of it.
  struct Press {
    wxEventType type;
    long ms;
    int dx;
  };
  const wxEventType down = wxEVT_LEFT_DOWN, up = wxEVT_LEFT_UP, dclick = wxEVT_LEFT_DCLICK;
  const std::pair<std::vector<Press>, int> rows[] = {
      // and the number of toggles
      {{{down, 0, 0}, {up, 9, 0}, {dclick, 90, 0}, {up, 99, 0}}, 1},
      // The toolkit delivers the second press as a plain press too, on a busy machine.
      {{{down, 0, 0}, {up, 9, 0}, {down, 90, 0}, {dclick, 90, 0}, {up, 99, 0}}, 1},
      {{{down, 0, 0}, {up, 9, 0}, {down, slow, 0}, {up, slow + 9, 0}}, 2},
      {{{down, 0, 0}, {up, 9, 0}, {down, 90, far}, {up, 99, far}}, 2},
  };
  long start = 1000;
  for (const auto& [presses, toggles] : rows) {
    PartNode* part = Part(view().m_pRoot.get(), "Head");
    part->selected = 0;
    for (const Press& press : presses) {
      wxMouseEvent event(press.type);
      event.SetPosition(wxPoint(head[0] + press.dx, head[1]));
      event.SetTimestamp(start + press.ms);
      event.SetEventObject(&canvas);
      canvas.GetEventHandler()->ProcessEvent(event);
    }
    EXPECT_EQ(part->selected, toggles % 2)
        << "row with " << presses.size() << " events, " << toggles << " toggles";
    start += 100000;
  }
}

// Sends the canvas a key press as the toolkit does; true when the canvas kept it.
bool Key(CTobrinCanvas& canvas, int code, int modifiers = wxMOD_NONE) {
  wxKeyEvent event(wxEVT_KEY_DOWN);
  event.m_keyCode = code;
  event.SetControlDown((modifiers & wxMOD_CONTROL) != 0);
  event.SetShiftDown((modifiers & wxMOD_SHIFT) != 0);
  event.SetAltDown((modifiers & wxMOD_ALT) != 0);
  event.SetEventObject(&canvas);
  canvas.GetEventHandler()->ProcessEvent(event);
  return !event.GetSkipped();
}

// The drawing area's accessible name and description, as a screen reader reads them from ATK.
std::pair<std::string, std::string> AccessibleText(wxWindow& window) {
  AtkObject* object = gtk_widget_get_accessible(GTK_WIDGET(window.GetHandle()));
  const auto text = [](const char* t) { return std::string(t != nullptr ? t : ""); };
  return {text(atk_object_get_name(object)), text(atk_object_get_description(object))};
}

TEST_F(Shell, TheCanvasHasTheFocusAndTakesItsKeysAndNoOthers) {
  CTobrinCanvas& canvas = frame().Canvas();
  EXPECT_TRUE(canvas.HasFlag(wxWANTS_CHARS));  // arrows and Space are not focus navigation
  Pump();
  EXPECT_EQ(wxWindow::FindFocus(), &canvas);

  view().OnModePosition();
  EXPECT_TRUE(Key(canvas, WXK_RIGHT));
  EXPECT_TRUE(Key(canvas, WXK_NUMPAD_UP, wxMOD_SHIFT));
  EXPECT_TRUE(PointsNear({view().m_dPosX, view().m_dPosY, view().m_dPosZ}, {0.2, 0.02, 0}, 1e-15));
  EXPECT_TRUE(Key(canvas, WXK_PAGEDOWN));
  EXPECT_NEAR(view().m_dPosZ, 0.2, 1e-15);
  // Keys with Ctrl or Alt, and keys the mode has no use for, go on to the accelerators.
  const TreeState before = Snapshot();
  EXPECT_FALSE(Key(canvas, WXK_LEFT, wxMOD_CONTROL));
  EXPECT_FALSE(Key(canvas, WXK_LEFT, wxMOD_ALT));
  EXPECT_FALSE(Key(canvas, WXK_SPACE));
  EXPECT_FALSE(Key(canvas, WXK_F6));
  EXPECT_FALSE(Key(canvas, 'Z', wxMOD_CONTROL));
  EXPECT_TRUE(SameTree(Snapshot(), before));

  // A click gives the focus back to the canvas.
  frame().GetStatusBar()->SetFocus();
  Pump();
  Mouse(canvas, wxEVT_LEFT_DOWN, 5, 5);
  Mouse(canvas, wxEVT_LEFT_UP, 5, 5);
  Pump();
  EXPECT_EQ(wxWindow::FindFocus(), &canvas);
}

TEST_F(Shell, ScreenReadersGetTheCanvasNameAndACurrentDescription) {
  CTobrinCanvas& canvas = frame().Canvas();
  // Each change is followed by a paint, which brings the description up to date.
  const auto painted = [&] {
    canvas.Refresh(false);
    canvas.Update();
    Pump();
    return AccessibleText(canvas);
  };
  EXPECT_EQ(painted(), std::make_pair(std::string("Tobrin figure"),
                                      std::string("Orientation mode. No part selected.")));
  Command(ID_MODE_JOINTS);
  EXPECT_TRUE(Key(canvas, WXK_LEFT));  // the cursor on the last part, the left hand
  EXPECT_TRUE(Key(canvas, WXK_SPACE));
  EXPECT_EQ(painted().second,
            "Joints mode. Selected: left hand. Keyboard cursor on the left hand.");
}

TEST_F(Shell, LosingTheMouseCaptureEndsTheDrag) {
  view().OnModePosition();
  Mouse(frame().Canvas(), wxEVT_LEFT_DOWN, 100, 100);
  EXPECT_EQ(view().m_nDragButton, DRAG_LEFT);
  wxMouseCaptureLostEvent lost(frame().Canvas().GetId());
  frame().Canvas().GetEventHandler()->ProcessEvent(lost);
  EXPECT_EQ(view().m_nDragButton, DRAG_NONE);
}

class Settings : public Shell {
 protected:
  void SetUp() override {
    ShellTest::SetUp();  // the application starts in each test, after the file is prepared
  }

  // Selects the file `path` (its bytes) in a GTK file chooser, as a click on it does.
  static void SelectInFileChooser(void* handle, const std::string& path) {
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(handle);
    ASSERT_TRUE(gtk_file_chooser_set_filename(chooser, path.c_str()));
    // The chooser takes the selection once it has read the folder, in its own time.
    const auto taken = [&] {
      Pump(1);
      return std::unique_ptr<gchar, decltype(&g_free)>(gtk_file_chooser_get_filename(chooser),
                                                       &g_free) != nullptr;
    };
    ASSERT_TRUE(WaitUntil(taken, 60000, 10)) << "the file chooser never took " << path;
  }
};

// The application starts in the test itself.
class Startup : public Settings {};

TEST_F(Startup, TheSceneWaitsForTheWindowAndNoMouseReachesTheViewBefore) {
  running_ = app().OnInit();
  ASSERT_TRUE(running_) << app().StartupError();
  // Shown, but not yet painted: under a window manager this can last a while.
  EXPECT_FALSE(view().IsCreated());
  view().OnModePosition();
  Mouse(frame().Canvas(), wxEVT_LEFT_DOWN, 100, 100);
  EXPECT_EQ(view().m_nDragButton, DRAG_NONE);
  EXPECT_FALSE(frame().Canvas().HasCapture());
  ASSERT_TRUE(WaitForScene());
  Mouse(frame().Canvas(), wxEVT_LEFT_DOWN, 100, 100);
  EXPECT_EQ(view().m_nDragButton, DRAG_LEFT);
}

// A German session: the program's texts, the toolkit's and the help book are German. (Every
// other test runs in English, as the test environment asks, and checks today's texts.)
TEST_F(Settings, UnderGermanTheMenusPromptsAboutBoxAndHelpAreGerman) {
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(TOBRIN_BUILD_DIR "/locale");
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  const bool started = StartApp();
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ASSERT_TRUE(started);
  EXPECT_EQ(CatalogLanguage(), "de");
  EXPECT_EQ(frame().GetMenuBar()->GetMenuLabel(0), "&Datei");
  EXPECT_EQ(frame().GetMenuBar()->GetMenu(0)->GetMenuItems()[0]->GetItemLabel(), "&Zurücksetzen");
  EXPECT_EQ(Status(), "Bereit");
  wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, ID_MODE_POSITION);
  frame().GetEventHandler()->ProcessEvent(highlight);
  EXPECT_EQ(Status(), "Den tobrin verschieben.");
  wxString caption;
  dialogs_.answer = [&](wxDialog* dialog) {
    caption = dialog->GetTitle();
    return wxID_OK;
  };
  Command(ID_APP_ABOUT);
  EXPECT_EQ(caption, wxString::FromUTF8("Über tobrin"));
  // Help, Index looks for the German book first, and the German book is German.
  EXPECT_TRUE(HelpBook::Candidates()[0].EndsWith("/help/de/tobrin.hhp"));
  HelpBook book(OnePath(TOBRIN_BUILD_DIR "/help/de/tobrin.hhp"));
  wxString message;
  ASSERT_TRUE(book.DisplayIndex(&frame(), &message)) << message;
  Pump();
  EXPECT_TRUE(std::any_of(wxTopLevelWindows.begin(), wxTopLevelWindows.end(), [](wxWindow* w) {
    return w->IsShown() && w->GetLabel().StartsWith(wxString::FromUTF8("Tobrin-Hilfe: Übersicht"));
  }));
}

TEST_F(Settings, EveryHelpBookIsReadWithItsWholeContentsAndIndex) {
  // As built, in every language: an entry whose name the help window could not decode would show
  // blank and be merged with its neighbours.
  std::vector<std::string> languages = {""};
  for (const std::string& language : Words(ReadFile(TOBRIN_SOURCE_DIR "/po/LINGUAS")))
    languages.push_back(language);
  for (const std::string& language : languages) {
    const std::string book = TOBRIN_BUILD_DIR "/help/" + language + "/";
    wxHtmlHelpData data;
    ASSERT_TRUE(data.AddBook(wxString::FromUTF8(book + "tobrin.hhp"))) << book;
    const auto names = [&](const std::string& file) {
      const std::string text = ReadFile(book + file);
      size_t count = 0;
      for (size_t at = text.find("name=\"Name\""); at != std::string::npos;
           at = text.find("name=\"Name\"", at + 1))
        ++count;
      return count;
    };
    EXPECT_EQ(data.GetIndexArray().size(), names("tobrin.hhk")) << book;
    EXPECT_EQ(data.GetContentsArray().size(), names("tobrin.hhc") + 1) << book;  // and the book
    const wxHtmlHelpDataItems& index = data.GetIndexArray();
    for (size_t i = 0; i < index.size(); ++i)
      EXPECT_FALSE(index[i].name.empty()) << book << ": index entry " << i << " has no name";
  }
}

TEST_F(Settings, TheRecentListIsReadAtStartAndWrittenAtExitInItsExactForm) {
  WriteFile(SettingsFile(),
            "[Recent File List]\nFile1=/r/one\nFile2=/r/two\n[Settings]\nPreviewPages=3\n");
  ASSERT_TRUE(StartApp());
  EXPECT_EQ(History(), (std::vector<wxString>{"/r/one", "/r/two"}));
  // Moving the figure writes nothing (a write would replace the file, and its inode with it).
  const auto inode = [&] {
    struct stat st = {};
    stat(SettingsFile().c_str(), &st);
    return st.st_ino;
  };
  const ino_t before = inode();
  ASSERT_TRUE(WaitForScene());
  Mouse(frame().Canvas(), wxEVT_LEFT_DOWN, 100, 100);
  Mouse(frame().Canvas(), wxEVT_MOTION, 130, 120);
  Mouse(frame().Canvas(), wxEVT_LEFT_UP, 130, 120);
  Pump(5);
  EXPECT_EQ(inode(), before);
  for (const char* name : {"a", "b", "c"}) {
    const std::string path = files_ / name;
    WriteFile(path, "");
    AnswerFileDialog(path);
    Command(ID_FILE_OPEN);
    // On disk at once, before the exit.
    EXPECT_EQ(ParseSettings(ReadFile(SettingsFile())).recentFiles.front(), path);
  }
  StopApp();
  EXPECT_EQ(ReadFile(SettingsFile()), "[Recent File List]\nFile1=" + files_ / "c" +
                                          "\nFile2=" + files_ / "b" + "\nFile3=" + files_ / "a" +
                                          "\nFile4=/r/one\n[Settings]\nPreviewPages=3\n");
}

TEST_F(Settings, BadSettingsFilesGiveTheDefaults) {
  const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
      {"missing", [](const std::string&) {}},
      {"binary", [](const std::string& p) { WriteFile(p, std::string("\0\xff\x01[Re\0", 8)); }},
      {"oversized",
       [](const std::string& p) {
         WriteFile(p, "[Recent File List]\nFile1=/x\n" + std::string(MAX_SETTINGS_FILE_SIZE, ';'));
       }},
      {"folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
      {"pipe", [](const std::string& p) { mkfifo(p.c_str(), 0600); }},
  };
  for (const auto& [name, make] : cases) {
    SCOPED_TRACE(name);
    std::filesystem::remove_all(SettingsFile());
    make(SettingsFile());
    const bool regular = std::filesystem::is_regular_file(SettingsFile());
    const std::string before = regular ? ReadFile(SettingsFile()) : "";
    ASSERT_TRUE(StartApp());
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(app().LoadedSettings().previewPages, 0);
    StopApp();
    // A file that is not Tobrin's to read is not Tobrin's to replace.
    if (regular) {
      EXPECT_TRUE(ReadFile(SettingsFile()) == before);
    }
  }
}

TEST_F(Settings, AFolderInThePlaceOfTheFileLosesNothingAndDoesNotStopExit) {
  std::filesystem::create_directory(SettingsFile());
  WriteFile(SettingsFile() + "/keep", "mine");
  ASSERT_TRUE(StartApp());
  StopApp();
  EXPECT_EQ(app().MainFrame(), nullptr);
  EXPECT_EQ(ReadFile(SettingsFile() + "/keep"), "mine");
}

TEST_F(Settings, TheHelpWindowWritesNothingIntoTheSettingsFile) {
  ASSERT_TRUE(StartApp());
  HelpBook book(OnePath(TOBRIN_SOURCE_DIR "/res/help/tobrin.hhp"));
  wxString message;
  ASSERT_TRUE(book.DisplayIndex(&frame(), &message)) << message;
  Pump();
  StopApp();
  EXPECT_EQ(ReadFile(SettingsFile()), "[Recent File List]\n");
}

TEST_F(Settings, ARecentFileThatIsGoneLeavesTheListOnDiskAtOnce) {
  WriteFile(SettingsFile(), "[Recent File List]\nFile1=/r/gone\nFile2=/r/two\n[Mine]\nk=v\n");
  ASSERT_TRUE(StartApp());
  Command(wxID_FILE1);  // the first entry of the File menu's list
  EXPECT_EQ(History(), (std::vector<wxString>{"/r/two"}));
  EXPECT_EQ(ReadFile(SettingsFile()), "[Recent File List]\nFile1=/r/two\n[Mine]\nk=v\n");
  StopApp();  // and the exit does not bring it back from the file
  EXPECT_EQ(ReadFile(SettingsFile()), "[Recent File List]\nFile1=/r/two\n[Mine]\nk=v\n");
}

TEST_F(Settings, PathsThatAreNotUtf8ComeBackByteForByteInTheirPlaces) {
  const std::string fromFile = "/r/caf\xe9.dat";
  WriteFile(SettingsFile(),
            "[Recent File List]\nFile1=/r/one\nFile2=" + fromFile + "\nFile3=/r/three\n");
  ASSERT_TRUE(StartApp());
  EXPECT_EQ(History().size(), 3u);
  const std::string saved = files_ / "na\xefve.tob", opened = files_ / "\xff\xfe.dat";
  AnswerFileDialog(saved);
  Command(ID_FILE_SAVE);  // a new document: Save As creates the file
  EXPECT_TRUE(std::filesystem::exists(saved));
  WriteFile(opened, "");
  // Open through GTK's own dialog (answered OK by the hook) with the file selected in it.
  SetFileDialogAnswer(nullptr);
  dialogs_.answer = [&](wxDialog* dialog) {
    SelectInFileChooser(dialog->GetHandle(), opened);
    return wxID_OK;
  };
  Command(ID_FILE_OPEN);
  EXPECT_EQ(PathFromWx(Document()->GetFilename()), opened);
  // A file that cannot be opened is named in the message, not dropped from it.
  log_->errors.clear();
  AnswerFileDialog(files_ / "gone\xe9");
  Command(ID_FILE_OPEN);
  ASSERT_EQ(log_->errors.size(), 1u);
  EXPECT_NE(log_->errors[0].Find("gone\\351"), wxNOT_FOUND) << log_->errors[0];
  StopApp();
  EXPECT_EQ(ReadFile(SettingsFile()), "[Recent File List]\nFile1=" + opened + "\nFile2=" + saved +
                                          "\nFile3=/r/one\nFile4=" + fromFile + "\n");
}

TEST_F(Settings, OutOfMemoryWhileTheWindowIsBuiltFailsCleanlyAndWritesNothing) {
  WriteFile(SettingsFile(), "[recent file list]\nfile1=/r/one\n");  // a save would rewrite it
  struct stat before, after;
  ASSERT_EQ(stat(SettingsFile().c_str(), &before), 0);
  g_quadricFails = true;
  const bool started = StartApp();
  g_quadricFails = false;
  EXPECT_FALSE(started);
  EXPECT_NE(app().StartupError().Find("not enough memory"), wxNOT_FOUND) << app().StartupError();
  EXPECT_EQ(app().MainFrame(), nullptr);
  EXPECT_TRUE(wxTopLevelWindows.empty());
  app().OnExit();  // the exit, should anything still run it, has nothing to save
  ASSERT_EQ(stat(SettingsFile().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadFile(SettingsFile()), "[recent file list]\nfile1=/r/one\n");
  // And the next start is a normal one.
  ASSERT_TRUE(StartApp());
  EXPECT_EQ(History(), (std::vector<wxString>{"/r/one"}));
}

}  // namespace
