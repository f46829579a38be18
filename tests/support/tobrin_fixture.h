// The real executable on a private X server, driven through the real X input path (xdotool) and
// looked at through screenshots: the fixture of the end-to-end, soak and memcheck session tests.
//
// Two environment variables let another tool run the program:
//   TOBRIN_TEST_WRAPPER     words put in front of the executable (for example a valgrind
//                           command line; split on blanks)
//   TOBRIN_TEST_TIME_SCALE  a factor for every timeout of these tests (default 1)
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness/process.h"
#include "harness/temp_dir.h"
#include "harness/xshot.h"
#include "harness/xvfb.h"
#include "tests/support/image_compare.h"

namespace tobrin_test {

struct Point {
  int x, y;
};

// `ms` stretched by TOBRIN_TEST_TIME_SCALE.
int ScaledMs(int ms);

// Runs xdotool with the blank-separated `args` on the test's display: its exit status.
int Xdotool(const std::string& args);

// The shown top-level windows whose names match the regular expression `name`, now.
std::vector<unsigned long> ShownWindows(const std::string& name);

// The first shown top-level window whose name matches the regular expression `name`, waiting up
// to `ms` for one: its id, or 0.
unsigned long FindWindow(const std::string& name, int ms = 0);

// Near-white pixels in the lower part of a drawing area `height` pixels high whose top row is
// `top`: the guide sphere always crosses it when shown, the figure has no white of its own, and
// the menus never reach down there.
long GuideSphereInk(const RgbaImage& image, int top, int height);
inline constexpr long kSphereShownInk = 40;  // at least this much shows the sphere
inline constexpr long kSphereHiddenInk = 5;  // at most this much when it is hidden

// The pixels of `image` from (left, top) to before (right, bottom), every `step`th in each
// direction, for which `counted(x, y, pixel)` holds.
long CountPixels(const RgbaImage& image, int left, int top, int right, int bottom,
                 const std::function<bool(int, int, const Rgb&)>& counted, int step = 1);

class TobrinFixture : public ::testing::Test {
 protected:
  // Starts the program on a new private server; `extra` are Xvfb arguments and `env` extra
  // environment assignments for the program ("NAME=value").
  void StartProgram(std::vector<std::string> extra = {}, std::vector<std::string> env = {},
                    const std::string& executable = TOBRIN_EXECUTABLE);
  // Starts it and waits for the main window and finds the drawing area in it.
  void Start(std::vector<std::string> env = {}, const std::string& executable = TOBRIN_EXECUTABLE) {
    StartProgram({}, env, executable);
    WaitForWindow();
  }
  // Waits for a main window other than `other` and finds the drawing area in it.
  void WaitForWindow(unsigned long other = 0);

  // One more program on the same server with the same settings folder, as when a user starts
  // Tobrin twice. StartAnother starts it and makes it the one the helpers act on, the first
  // one waiting in `first`; SwapProgram swaps the two.
  struct Instance {
    Process program;
    unsigned long window = 0;
    std::string stderrPath;
  };
  void StartAnother(Instance* first);
  void SwapProgram(Instance* other);

  // File, Open, the path typed into the dialog's location entry; waits for the dialog to go.
  void OpenThroughTheDialog(const std::string& path);

  // Where the main window's client area is on the screen, and the frame around it.
  WindowPlacement Placement();
  // The main window as the user sees it, the frame a window manager drew around it included:
  // "WIDTHxHEIGHT".
  std::string FrameSize();

  // Ends a program still running as a termination signal does, so that a tool it runs under
  // can finish its report; kills it when it does not end.
  void TearDown() override { program_.Stop(ScaledMs(5000)); }

  // What the screen shows of the main window's client area (all of the screen before there is
  // a main window). Points of the tests are in this image's pixels.
  virtual RgbaImage Shot();

  // Keeps the screenshot of a step, named after the test, for looking at after a failure.
  void Keep(const RgbaImage& image, const std::string& step);

  // Polls screenshots until `ok` holds; keeps the last one as `step`'s if it never does. The
  // deadline only bounds a failure: it allows for a sanitizer build on a busy machine.
  bool WaitFor(const std::string& step, const std::function<bool(const RgbaImage&)>& ok,
               int ms = 30000);

  // The drawing area is the black band of the window; it starts under the menu bar.
  bool FindCanvas(const RgbaImage& shot);

  // The screen point that shows the centre of a part's front face.
  Point PartOnScreen(const std::string& name);

  // Gives the main window the focus, which a window manager may not give a new window.
  void Focus() { Xdotool("windowfocus --sync " + std::to_string(window_)); }
  void Key(const std::string& keys) { Xdotool("key --delay 40 " + keys); }
  // xdotool's words that move the pointer to a point of the main window.
  std::string MouseTo(Point p);
  void MoveTo(Point p) { Xdotool(MouseTo(p)); }
  void Click(Point p, int button = 1) { Xdotool(MouseTo(p) + " click " + std::to_string(button)); }
  void Drag(Point from, Point to, int button);

  // Quits through File, Exit: the program must end with status 0, its settings saved.
  void QuitByMenu() {
    Focus();
    Key("alt+f x");
    EXPECT_TRUE(EndedWith(0, WaitForExit()));
    EXPECT_NE(ReadFile(config_ / "tobrin.ini").find("[Recent File List]"), std::string::npos);
  }

  // Waits for the program to end; its exit status, or -1 if it did not end in time.
  int WaitForExit() { return program_.Wait(ScaledMs(30000)); }

  // Whether the program ended with the status `expected`, given the status it ended with; the
  // failure shows what it wrote on stderr. One end is the sanitizer's own doing and says nothing
  // of the program: in the sanitizer build, LeakSanitizer's tracer thread can crash while it
  // stops the program's threads for the leak check at exit (a failure inside the sanitizer, seen
  // rarely, on busy machines), which ends the program with status 1 whatever status it was
  // ending with, and without a leak check. Exactly that end is reported and let pass; the plain
  // build checks the same status in the same test.
  ::testing::AssertionResult EndedWith(int expected, int status);

  static bool IsRed(const Rgb& p) { return p.r > 150 && p.g < 60 && p.b < 60; }

  // Waits until the screen point shows a selected part's red (or, with red false, anything
  // else): the picked part turned red, or a bend moved it away.
  bool WaitForRed(Point p, bool red, const std::string& step, int ms = 5000) {
    const auto shows = [&](const RgbaImage& s) { return IsRed(PixelAt(s, p.x, p.y)) == red; };
    return WaitFor(step, shows, ms);
  }

  // Marks a point in the program's input: Orientation mode, then Visible Arcball on and off
  // again. Once the screen shows the sphere gone, everything sent before has been handled and
  // painted. False, with the screenshot kept, if the sphere never showed or never went.
  bool MarkHandled(const std::string& step) {
    Key("alt+m o");
    for (const bool on : {true, false}) {
      Key("alt+m a");
      const auto shows = [&](const RgbaImage& s) {
        const long ink = GuideSphereInk(s, canvasTop_, canvasHeight_);
        return on ? ink >= kSphereShownInk : ink <= kSphereHiddenInk;
      };
      if (!WaitFor(step + (on ? "-sphere-on" : "-sphere-off"), shows)) return false;
    }
    return true;
  }

  // Mode, Joints, from the keyboard, and waits until the drawing area has it: Left then shows
  // the keyboard cursor on the last part (the left hand), which only Joints mode draws and only
  // a key that reaches the drawing area moves, not one an open menu takes. Clicks sent after
  // it reach the drawing area in Joints mode. False, with the screenshot kept, if it never did.
  bool EnterJointsMode();

  // The frames the program presents, counted by the swap shim: the environment that makes it
  // log each one to frameLog_ (preloaded into a Linux program; under Wine, which takes its swap
  // from libGL's own handle, loaded as an audit module), and whether, once the frames that the
  // last action asked for have come, none comes for `ms`. Only the plain build has the shim.
  static bool CanCountFrames() { return TOBRIN_FRAME_SHIM[0] != '\0'; }
  std::vector<std::string> CountFrames(bool wine);
  bool NoFramesFor(int ms);

  // Starts the program on the running server, its stderr going to stderr_.
  void Launch(const std::vector<std::string>& env, const std::string& executable);

  TempDir config_;
  TempDir files_;
  std::vector<std::string> wrapper_;  // a command the test runs the program through
  std::vector<int> ignoredSignals_;   // signals the program starts with ignored
  std::unique_ptr<XvfbServer> server_;
  Process program_;
  unsigned long window_ = 0;
  std::string stderr_;
  std::string frameLog_;
  int canvasTop_ = 0, canvasWidth_ = 0, canvasHeight_ = 0;
};

}  // namespace tobrin_test
