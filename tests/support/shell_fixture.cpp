#include "tests/support/shell_fixture.h"

#include <wx/app.h>
#include <wx/init.h>

#include <cstdlib>

#include "app/translations.h"

// The application object of this test program, as the program's own main() makes it.
wxIMPLEMENT_APP_NO_MAIN(CTobrinApp);

namespace tobrin_test {

namespace {

// One toolkit instance for the whole test program, on a private X server.
class ShellEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    server_ = std::make_unique<XvfbServer>();
    if (!server_->ok()) {
      problem = server_->error();
      return;
    }
    home_ = std::make_unique<TempDir>();
    SetEnvironment(server_->Environment(home_->path()));
    ::setenv("HOME", home_->path().c_str(), 1);
    wxApp::SetInstance(new CTobrinApp);
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    problem =
        wxEntryStart(argc, argv) ? "" : "the toolkit could not start on " + server_->display();
  }
  void TearDown() override {
    if (problem.empty()) wxEntryCleanup();
    problem = "the test environment has ended";
    server_.reset();
    home_.reset();
  }

  static inline std::string problem = "the test environment never started";

 private:
  std::unique_ptr<XvfbServer> server_;
  std::unique_ptr<TempDir> home_;
};

}  // namespace

void ShellTest::SetUp() {
  ASSERT_EQ(ShellEnvironment::problem, "");
  ::setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
  log_ = new RecordingLog;
  delete wxLog::SetActiveTarget(log_);
  dialogs_.Register();
}

void ShellTest::TearDown() {
  if (running_) StopApp();
  dialogs_.Unregister();
  delete wxLog::SetActiveTarget(nullptr);
  log_ = nullptr;
}

void ShellTest::Pump(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    wxTheApp->Yield(true);
    while (wxTheApp->ProcessIdle()) {
    }
  }
}

bool ShellTest::StartApp() {
  UseTheUsersLanguage();  // as main() does first, in the language the environment asks for
  running_ = app().OnInit();
  return running_ && WaitForScene();
}

bool ShellTest::WaitForScene() {
  // The scene comes with the window's first paint, when the window is on the screen: a window
  // manager maps it in its own time.
  const auto settled = [&] {
    Pump(1);
    return !app().StartupError().empty() || view().IsCreated();
  };
  WaitUntil(settled, 20000, 5);
  Pump();
  return app().StartupError().empty() && view().IsCreated();
}

void ShellTest::StopApp() {
  if (CMainFrame* main = app().MainFrame()) main->Close();
  Pump();
  app().OnExit();
  running_ = false;
}

void ShellTest::Command(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  event.SetEventObject(&frame());
  frame().GetEventHandler()->ProcessEvent(event);
  Pump(1);
}

}  // namespace tobrin_test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new tobrin_test::ShellEnvironment);
  return RUN_ALL_TESTS();
}
