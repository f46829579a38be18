#include "tests/support/shell_fixture.h"

#include <wx/app.h>
#include <wx/init.h>

#include <chrono>
#include <cstdlib>
#include <thread>

// The application object of this test program, as the program's own main() makes it.
wxIMPLEMENT_APP_NO_MAIN(CTobrinApp);

namespace tobrin_test {

void ShellEnvironment::SetUp() {
  server_ = std::make_unique<XvfbServer>();
  if (!server_->ok()) {
    problem_ = server_->error();
    return;
  }
  home_ = std::make_unique<TempDir>();
  SetEnvironment(server_->Environment(home_->path()));
  ::setenv("HOME", home_->path().c_str(), 1);
  wxApp::SetInstance(new CTobrinApp);
  static char name[] = "shell_tests";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  if (!wxEntryStart(argc, argv)) {
    problem_ = "the toolkit could not start on " + server_->display();
    return;
  }
  ready_ = true;
}

void ShellEnvironment::TearDown() {
  if (ready_) wxEntryCleanup();
  ready_ = false;
  server_.reset();
  home_.reset();
}

void ShellTest::SetUp() {
  ASSERT_TRUE(ShellEnvironment::Ready()) << ShellEnvironment::Problem();
  config_ = std::make_unique<TempDir>();
  files_ = std::make_unique<TempDir>();
  ::setenv("XDG_CONFIG_HOME", config_->path().c_str(), 1);
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
  running_ = app().OnInit();
  return running_ && WaitForScene();
}

bool ShellTest::WaitForScene() {
  // The scene comes with the window's first paint, when the window is on the screen: a window
  // manager maps it in its own time.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (app().StartupError().empty() && !view().IsCreated() &&
         std::chrono::steady_clock::now() < end) {
    Pump(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
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
