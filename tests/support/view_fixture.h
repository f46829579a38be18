// A CTobrinView on the headless context, with the host that records what the view asks of its
// window, and a CommandState that records what a state handler sets.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "harness/headless_view_host.h"
#include "tests/support/gl_test.h"
#include "tests/support/matrix_checks.h"
#include "tests/support/view_events.h"
#include "view/command_state.h"

namespace tobrin_test {

struct RecordingState : CommandState {
  int enables = 0, checks = 0, radios = 0, texts = 0;
  bool radio = false;
  int check = -1;
  void Enable(bool) override { ++enables; }
  void SetCheck(int c) override {
    ++checks;
    check = c;
  }
  void SetRadio(bool on) override {
    ++radios;
    radio = on;
  }
  void SetText(const char*) override { ++texts; }
};

// A created view on a 400 x 300 area.
class ViewTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    host = std::make_unique<HeadlessViewHost>(&gl(), log);
    view = std::make_unique<CTobrinView>(*host);
    ASSERT_EQ(view->OnCreate(), 0);
    view->OnSize(400, 300);
  }

  // Resets the log's counters, leaving the capture state as it is.
  void ClearLog() {
    const bool captured = log.captured;
    log = HostLog();
    log.captured = captured;
  }

  PartNode* root() { return view->m_pRoot.get(); }
  // The figure's origin in the scene, and where the position sums put it.
  Vec3 Origin() { return {root()->matrix[3], root()->matrix[7], root()->matrix[11]}; }
  Vec3 Position() { return {view->m_dPosX, view->m_dPosY, view->m_dPosZ}; }

  HostLog log;
  std::unique_ptr<HeadlessViewHost> host;
  std::unique_ptr<CTobrinView> view;
};

}  // namespace tobrin_test
