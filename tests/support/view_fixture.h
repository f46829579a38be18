// A CTobrinView on the headless context, with a host that records what the view asks of its
// window.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "render/cube_list.h"
#include "tests/support/gl_test.h"
#include "view/command_state.h"
#include "view/tobrin_view.h"
#include "view/view_host.h"

namespace tobrin_test {

struct HostLog {
  int repaints = 0;
  int swaps = 0;
  bool captured = false;
  bool cubeListAliveAtContextRelease = true;
  bool contextReleased = false;
  int paletteRealizes = 0;
  int paletteUpdates = 0;
  bool paletteDeleted = false;
  size_t paletteEntries = 0;
  std::vector<int> realizeResults;  // what successive Realize calls report
};

class RecordingContext : public GLContext {
 public:
  RecordingContext(HeadlessGL& gl, HostLog& log) : gl_(gl), log_(log) {}
  ~RecordingContext() override {
    log_.cubeListAliveAtContextRelease = glIsList(CUBE_LIST) == GL_TRUE;
    log_.contextReleased = true;
    gl_.ReleaseCurrent();
  }
  bool MakeCurrent() override { return gl_.MakeCurrent(); }
  void SwapBuffers() override {
    ++log_.swaps;
    gl_.Swap();
  }

 private:
  HeadlessGL& gl_;
  HostLog& log_;
};

class RecordingPalette : public HostPalette {
 public:
  explicit RecordingPalette(HostLog& log) : log_(log) {}
  ~RecordingPalette() override { log_.paletteDeleted = true; }
  int Realize() override {
    const int n = log_.paletteRealizes < static_cast<int>(log_.realizeResults.size())
                      ? log_.realizeResults[log_.paletteRealizes]
                      : 0;
    ++log_.paletteRealizes;
    return n;
  }
  void UpdateColors() override { ++log_.paletteUpdates; }

 private:
  HostLog& log_;
};

class RecordingHost : public ViewHost {
 public:
  RecordingHost(HeadlessGL* gl, HostLog& log) : gl_(gl), log_(log) {
    format.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.colourBits = 24;
  }
  void CaptureMouse() override { log_.captured = true; }
  void ReleaseMouse() override { log_.captured = false; }
  void RequestRepaint() override { ++log_.repaints; }
  std::unique_ptr<GLContext> CreateContext() override {
    if (gl_ == nullptr || !gl_->MakeCurrent()) return nullptr;
    return std::make_unique<RecordingContext>(*gl_, log_);
  }
  PixelFormatDescription DescribePixelFormat() override { return format; }
  std::unique_ptr<HostPalette> CreatePalette(const std::vector<PaletteEntry>& entries) override {
    log_.paletteEntries = entries.size();
    return std::make_unique<RecordingPalette>(log_);
  }

  PixelFormatDescription format;

 private:
  HeadlessGL* gl_;
  HostLog& log_;
};

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
    host = std::make_unique<RecordingHost>(&gl(), log);
    view = std::make_unique<CTobrinView>(*host);
    ASSERT_EQ(view->OnCreate(), 0);
    view->OnSize(400, 300);
  }
  void TearDown() override {
    view.reset();
    host.reset();
  }

  // Resets the log's counters, leaving the capture state as it is.
  void ClearLog() {
    const bool captured = log.captured;
    log = HostLog();
    log.captured = captured;
  }

  PartNode* root() { return view->m_pRoot.get(); }

  HostLog log;
  std::unique_ptr<RecordingHost> host;
  std::unique_ptr<CTobrinView> view;
};

}  // namespace tobrin_test
