// The application running in the test's own process, on a private X server: one toolkit
// instance for the whole test program, and a freshly started application for each test.
#pragma once

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/log.h>
#include <wx/modalhook.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/gl_canvas.h"
#include "app/main_frame.h"
#include "app/tobrin_app.h"
#include "harness/temp_dir.h"
#include "harness/xvfb.h"

namespace tobrin_test {

// Records the errors the application logs instead of showing them in message boxes (and drops
// its other messages).
class RecordingLog : public wxLog {
 public:
  std::vector<wxString> errors;

 protected:
  void DoLogTextAtLevel(wxLogLevel level, const wxString& text) override {
    if (level <= wxLOG_Error) errors.push_back(text);
  }
};

// Answers modal dialogs instead of showing them: each dialog goes to `answer`, which may look
// at it, change it (fill in a file dialog) and returns the result of ShowModal.
class DialogHook : public wxModalDialogHook {
 public:
  std::function<int(wxDialog*)> answer = [](wxDialog*) { return wxID_CANCEL; };
  int entered = 0;
  int open = 0;     // dialogs entered and not yet left
  int maxOpen = 0;  // the most ever open at once

 protected:
  int Enter(wxDialog* dialog) override {
    ++entered;
    maxOpen = std::max(maxOpen, ++open);
    const int result = answer(dialog);
    if (result != wxID_NONE) --open;  // answered without showing it: Exit() will not come
    return result;
  }
  void Exit(wxDialog*) override { --open; }
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the toolkit's pending events, idle work and deferred deletions.
  static void Pump(int rounds = 3);

  // Starts the application as the program does, and waits for its scene; the settings folder
  // is this test's own.
  bool StartApp();
  // Runs the event loop until the window's first paint has made the scene.
  bool WaitForScene();
  // Closes the main window as Exit does and runs the application's exit.
  void StopApp();

  // Sends a menu or accelerator command to the main window.
  void Command(int id);

  CTobrinApp& app() { return wxGetApp(); }
  CMainFrame& frame() { return *app().MainFrame(); }
  CTobrinView& view() { return frame().Canvas().View(); }
  std::string SettingsFile() const { return config_ / "tobrin.ini"; }

  TempDir config_;
  TempDir files_;                // for documents the test opens and saves
  RecordingLog* log_ = nullptr;  // owned by wxLog while active
  DialogHook dialogs_;
  bool running_ = false;
};

}  // namespace tobrin_test
