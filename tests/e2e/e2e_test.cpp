// End to end: the real executable on a private X server, driven through the real X input
// path (xdotool) and looked at through screenshots. Failed steps leave their screenshots in
// <build>/test-images.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/support/image_compare.h"
#include "tests/support/tobrin_fixture.h"

namespace {

using namespace tobrin_test;

// The fixture (starting the program, screenshots, input) is shared with the soak and memcheck
// session tests.
class Tobrin : public TobrinFixture {};

TEST_F(Tobrin, PickBendResetJointsAndQuitByKeyboard) {
  Start();
  EXPECT_EQ(FrameSize(), "500x500");
  ASSERT_TRUE(EnterJointsMode());
  const Point forearm = PartOnScreen("LeftForearm");
  Click(forearm);
  ASSERT_TRUE(WaitForRed(forearm, true, "picked")) << "the picked forearm did not turn red";

  // Dragging up with the right button bends the elbow forward, out of its place.
  Drag(forearm, {forearm.x, forearm.y - 120}, 3);
  ASSERT_TRUE(WaitForRed(forearm, false, "bent")) << "the bent forearm did not move";

  Key("alt+f j");  // File, Reset Joints: back in place, still selected
  ASSERT_TRUE(WaitForRed(forearm, true, "reset"));

  QuitByMenu();
}

// The red of the selection and the white of the keyboard cursor in the drawing area.
struct Marks {
  long red = 0, white = 0;
  double redX = 0;  // mean column of the red pixels
};

TEST_F(Tobrin, EveryFigureOperationWorksWithoutAMouse) {
  Start();
  Focus();  // keyboard focus for the window; inside it the drawing area has it from the start
  const auto marks = [&](const RgbaImage& shot) {
    Marks m;
    double sumX = 0;
    CountPixels(shot, 0, canvasTop_, canvasWidth_, canvasTop_ + canvasHeight_,
                [&](int x, int, const Rgb& p) {
                  if (IsRed(p)) {
                    ++m.red;
                    sumX += x;
                  }
                  if (p.r > 220 && p.g > 220 && p.b > 220) ++m.white;
                  return false;
                });
    m.redX = m.red > 0 ? sumX / m.red : 0;
    return m;
  };
  const Point left = PartOnScreen("LeftForearm"), right = PartOnScreen("RightForearm");

  // Select both forearms: the cursor starts at the last part (the left hand) and walks back.
  ASSERT_TRUE(EnterJointsMode()) << "the keyboard cursor did not show";
  Key("Left space Left Left Left space");
  ASSERT_TRUE(WaitForRed(left, true, "left selected"));
  ASSERT_TRUE(WaitForRed(right, true, "right selected"));

  // Up bends both forward, as a right drag upwards does.
  Key("Up Up Up Up Up Up Up Up Up Up Up Up");
  ASSERT_TRUE(WaitForRed(left, false, "left bent")) << "the left forearm did not move";
  ASSERT_TRUE(WaitForRed(right, false, "right bent")) << "the right forearm did not move";

  // A new mode hides the cursor; the bent figure as it stands is what Reset must bring back.
  Key("alt+m p");
  ASSERT_TRUE(WaitFor("cursor hidden", [&](const RgbaImage& s) { return marks(s).white == 0; }));
  const RgbaImage bent = Shot();
  const double bentX = marks(bent).redX;

  Key("Right Right Right Right Right Page_Up");  // 50 pixels right: one scene unit
  ASSERT_TRUE(WaitFor("moved", [&](const RgbaImage& s) { return marks(s).redX > bentX + 25; }))
      << "the figure did not move right";
  const RgbaImage moved = Shot();

  Key("alt+m o");
  Key("Right Right Right Up");
  ASSERT_TRUE(WaitFor("turned", [&](const RgbaImage& s) {
    return s.pixels != moved.pixels && marks(s).red > 0;
  })) << "the figure did not turn";

  Key("alt+f r");  // File, Reset: where it started, the bends kept
  ASSERT_TRUE(WaitFor("reset", [&](const RgbaImage& s) { return s.pixels == bent.pixels; }))
      << "Reset did not bring the figure back to where it started";

  Key("alt+f j");  // File, Reset Joints: the forearms straight, still selected
  ASSERT_TRUE(WaitForRed(left, true, "left straight"));
  ASSERT_TRUE(WaitForRed(right, true, "right straight"));

  QuitByMenu();
}

TEST_F(Tobrin, ADoubleClickTogglesAPartOnce) {
  if (std::getenv("TOBRIN_TEST_WRAPPER") != nullptr)
    GTEST_SKIP() << "a wrapped program is too slow to see two clicks as a double click";
  // Two presses are a double click when the server stamps them within the desktop's
  // double-click time (GTK's, 400 ms by default). On a busy machine xdotool's two presses can
  // land further apart than that, and two toggles would then be right: this session's
  // double-click time is long enough that the two presses are always one double click.
  std::filesystem::create_directories(config_ / "gtk-3.0");
  WriteFile(config_ / "gtk-3.0/settings.ini", "[Settings]\ngtk-double-click-time=60000\n");
  Start();
  ASSERT_TRUE(EnterJointsMode());
  const Point head = PartOnScreen("Head"), forearm = PartOnScreen("LeftForearm");
  Xdotool(MouseTo(head) + " click --repeat 2 --delay 60 1");
  // A single click elsewhere, handled after both presses on the head: once the forearm shows
  // red, the same picture shows what the double click left.
  Click(forearm);
  const auto settled = [&](const RgbaImage& s) { return IsRed(PixelAt(s, forearm.x, forearm.y)); };
  ASSERT_TRUE(WaitFor("double-click-settled", settled)) << "the single click was not seen";
  const RgbaImage shot = Shot();
  if (!IsRed(PixelAt(shot, head.x, head.y))) Keep(shot, "double-click");
  EXPECT_TRUE(IsRed(PixelAt(shot, head.x, head.y)))
      << "a double click toggled the head twice (or not at all)";
}

TEST_F(Tobrin, EditAndPaneKeysAndNewChangeNothing) {
  Start();
  // Move and turn the figure first, so that a reset would show.
  Key("alt+m p");
  const Point centre = {canvasWidth_ / 2, canvasTop_ + canvasHeight_ / 2};
  Drag(centre, {centre.x + 40, centre.y - 20}, 1);
  Key("alt+m o");
  Drag(centre, {centre.x + 60, centre.y + 10}, 1);
  ASSERT_TRUE(MarkHandled("before")) << "Visible Arcball did not show or hide the sphere";
  const RgbaImage before = Shot();
  Key("ctrl+z ctrl+x ctrl+c ctrl+v alt+BackSpace shift+Delete ctrl+Insert shift+Insert F6 "
      "shift+F6 ctrl+n");
  ASSERT_TRUE(MarkHandled("after")) << "Visible Arcball did not show or hide the sphere";
  const RgbaImage after = Shot();
  const bool unchanged = after.pixels == before.pixels;
  if (!unchanged) {
    Keep(before, "before");
    Keep(after, "after");
  }
  EXPECT_TRUE(unchanged) << "the keys changed the picture";
  EXPECT_TRUE(program_.Running()) << "the program ended";
}

TEST_F(Tobrin, OpenThroughTheFileDialogEntersTheRecentList) {
  const std::string document = files_ / "figure notes.txt";
  WriteFile(document, "left alone");
  Start();
  OpenThroughTheDialog(document);
  QuitByMenu();
  EXPECT_EQ(ReadFile(config_ / "tobrin.ini"), "[Recent File List]\nFile1=" + document + "\n");
  EXPECT_EQ(ReadFile(document), "left alone");
}

TEST_F(Tobrin, TerminationSignalsCloseAsExitDoesWhateverIsOpen) {
  // The signal, the keys that open something first (none: nothing is open) and the window that
  // shows it.
  struct Case {
    int signal;
    const char* keys;
    const char* window;
  };
  const Case cases[] = {
      {SIGTERM, nullptr, nullptr},
      {SIGINT, nullptr, nullptr},
      {SIGHUP, nullptr, nullptr},
      {SIGTERM, "alt+h a", "^About tobrin$"},
      {SIGINT, "alt+h a", "^About tobrin$"},
      {SIGHUP, "alt+h a", "^About tobrin$"},
      {SIGTERM, "ctrl+o", "^Open$"},
      {SIGINT, "ctrl+o", "^Open$"},
      {SIGHUP, "ctrl+o", "^Open$"},
      {SIGTERM, "F1", "^Tobrin Help"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("signal ") + std::to_string(c.signal) + " with " +
                 (c.window != nullptr ? c.window : "nothing") + " open");
    Start();
    std::filesystem::remove(config_ / "tobrin.ini");
    if (c.keys != nullptr) {
      Focus();
      Key(c.keys);
      ASSERT_NE(FindWindow(c.window, ScaledMs(30000)), 0u) << "it did not open";
    }
    kill(program_.pid(), c.signal);
    EXPECT_TRUE(EndedWith(0, WaitForExit()));
    EXPECT_TRUE(std::filesystem::exists(config_ / "tobrin.ini"));
  }
}

TEST_F(Tobrin, OnlyTheSanitizersOwnCrashAtExitPassesForAnotherStatus) {
  const std::string tracer =
      "Tracer caught signal 11: addr=0x0 pc=0x7f sp=0x7f\n"
      "==12==LeakSanitizer has encountered a fatal error.\n";
  const std::string leak = "==12==ERROR: LeakSanitizer: detected memory leaks\n";
  const std::string undefined = "app/x.cpp:1:2: runtime error: signed integer overflow\n";
  struct Case {
    std::string errors;
    int status;
    bool passes;
  };
  stderr_ = files_ / "stderr.txt";
  for (const Case& c : {Case{"", 0, true}, Case{"", 1, false}, Case{tracer, 1, true},
                        Case{tracer, 2, false}, Case{leak + tracer, 1, false},
                        Case{undefined + tracer, 1, false}, Case{"tobrin: bad\n", 1, false}}) {
    WriteFile(stderr_, c.errors);
    EXPECT_EQ(static_cast<bool>(EndedWith(0, c.status)), c.passes) << c.errors << c.status;
  }
}

TEST_F(Tobrin, AHangupIgnoredFromTheStartStaysIgnored) {
  ignoredSignals_ = {SIGHUP};  // as nohup starts it
  Start();
  kill(program_.pid(), SIGHUP);
  // Still there and answering after the signal: the About box opens, and Exit ends it.
  Focus();
  Key("alt+h a");
  const unsigned long about = FindWindow("^About tobrin$", ScaledMs(30000));
  ASSERT_NE(about, 0u) << "the program did not answer after SIGHUP: " << ReadFile(stderr_);
  ASSERT_TRUE(program_.Running()) << "SIGHUP ended the program";
  Xdotool("windowfocus --sync " + std::to_string(about) + " key Escape");
  EXPECT_TRUE(WaitUntil([] { return FindWindow("^About tobrin$") == 0; }, ScaledMs(30000)));
  QuitByMenu();
}

TEST_F(Tobrin, WithoutADisplayItSaysSoAndExitsWithStatusOne) {
  for (const std::string display : {"", ":9999"}) {
    const std::string setting = display.empty() ? "DISPLAY" : "DISPLAY=" + display;
    const Command tobrin{{TOBRIN_EXECUTABLE}, {"WAYLAND_DISPLAY", setting}, files_ / "err.txt"};
    EXPECT_EQ(RunCommand(tobrin).status, 1) << display;
    const std::string error = ReadFile(files_ / "err.txt");
    EXPECT_NE(error.find("xvfb-run"), std::string::npos) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
  }
}

TEST_F(Tobrin, WithoutOpenGLItSaysSoAndExitsNonZero) {
  // A server without GLX, and one whose GLX refuses the window's context (it offers only
  // indirect rendering, as to a remote display, and the server has that turned off): the
  // second is found only once the window is on the screen.
  struct Case {
    std::vector<std::string> server, env;
  };
  for (const Case& c : {Case{{"-extension", "GLX"}, {}}, Case{{}, {"LIBGL_ALWAYS_INDIRECT=1"}}}) {
    StartProgram(c.server, c.env);
    // The message is written just before the box shows, which then waits for its OK.
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(stderr_).find("OpenGL") != std::string::npos; },
                          ScaledMs(20000)))
        << ReadFile(stderr_);
    // The box is the shown window of that name that says it is a dialog.
    const auto boxShows = [] {
      for (const unsigned long id : ShownWindows("^Tobrin$")) {
        const Output type =
            RunCommand({{"xprop", "-id", std::to_string(id), "_NET_WM_WINDOW_TYPE"}});
        if (type.text.find("_NET_WM_WINDOW_TYPE_DIALOG") != std::string::npos) return true;
      }
      return false;
    };
    ASSERT_TRUE(WaitUntil([&] { return boxShows() || !program_.Running(); }, ScaledMs(30000)));
    ASSERT_TRUE(boxShows()) << "no message box: " << ReadFile(stderr_);
    // The window manager maps the box in its own time, and the main window may still be going:
    // Return to whichever shows, until the program ends.
    WaitUntil(
        [&] {
          Xdotool("search --onlyvisible --name ^Tobrin$ windowfocus --sync key Return");
          return program_.Wait(ScaledMs(1000)) >= 0;
        },
        ScaledMs(20000), 0);
    EXPECT_TRUE(EndedWith(1, WaitForExit()));
    EXPECT_FALSE(std::filesystem::exists(config_ / "tobrin.ini")) << "a failed start wrote";
  }
}

TEST_F(Tobrin, UnderWaylandItStillStartsOnX11) {
  Start({"WAYLAND_DISPLAY=wayland-tobrin-test", "XDG_SESSION_TYPE=wayland"});
  EXPECT_EQ(FrameSize(), "500x500");
}

TEST_F(Tobrin, OnAScaledDisplayTheFigureFillsTheAreaAndPicksUnderThePointer) {
  Start();
  const RgbaImage plain = Shot();
  const int top1 = canvasTop_, width1 = canvasWidth_, height1 = canvasHeight_;
  ASSERT_TRUE(EndedWith(0, program_.Stop(ScaledMs(30000))));

  Start({"GDK_SCALE=2"});
  // A window manager's frame does not scale with the display: the area may be larger than twice
  // its size by about the frame, and the figure stays at its centre.
  const WindowPlacement frame = Placement();
  ASSERT_NEAR(canvasWidth_, 2 * width1, 2 * (frame.left + frame.right) + 2);
  ASSERT_NEAR(canvasHeight_, 2 * height1, 2 * (frame.top + frame.bottom) + 2);
  const int dx = (canvasWidth_ - 2 * width1) / 2, dy = (canvasHeight_ - 2 * height1) / 2;
  // Each pixel of the unscaled area matches the scaled area's pixel at twice its place.
  const RgbaImage scaled = Shot();
  const auto differs = [&](int x, int y, const Rgb& a) {
    const Rgb b = PixelAt(scaled, 2 * x + dx, canvasTop_ + 2 * (y - top1) + dy);
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60;
  };
  const long mismatched = CountPixels(plain, 0, top1, width1, top1 + height1, differs, 2);
  EXPECT_LT(mismatched, width1 * height1 / 4 / 50) << "the scaled picture differs";
  if (mismatched >= width1 * height1 / 4 / 50) Keep(scaled, "scaled");

  ASSERT_TRUE(EnterJointsMode());
  const Point shin = PartOnScreen("RightShin");
  Click(shin);
  EXPECT_TRUE(WaitForRed(shin, true, "scaled-pick"))
      << "the click did not pick the part under the pointer";
}

// Dark (text) pixels in the right part of the status bar, where the lock panes are.
long LockPaneInk(const RgbaImage& shot, int statusTop) {
  return CountPixels(shot, 320, statusTop, 470, statusTop + 18,
                     [](int, int, const Rgb& p) { return p.r < 100; });
}

TEST_F(Tobrin, TheLockPanesShowWhileTheirLocksAreOn) {
  Start();
  const int statusTop = canvasTop_ + canvasHeight_ + 2;
  const long unlit = LockPaneInk(Shot(), statusTop);
  const auto capShown = [&](const RgbaImage& s) { return LockPaneInk(s, statusTop) > unlit + 20; };
  const auto capGone = [&](const RgbaImage& s) { return LockPaneInk(s, statusTop) <= unlit; };
  Key("Caps_Lock");
  MoveTo({100, canvasTop_ + 100});  // any event lets the panes catch up
  const bool shown = WaitFor("caps-on", capShown);
  Key("Caps_Lock");
  MoveTo({120, canvasTop_ + 100});
  EXPECT_TRUE(shown) << "CAP did not appear";
  EXPECT_TRUE(WaitFor("caps-off", capGone)) << "CAP did not go";
}

TEST_F(Tobrin, ReadingTheHelpCostsNoFrames) {
  if (!CanCountFrames()) GTEST_SKIP() << "this build does not count frames";
  Start(CountFrames(false));
  Focus();
  Key("F1");
  ASSERT_NE(FindWindow("^Tobrin Help", ScaledMs(30000)), 0u) << "F1 did not open the help";
  EXPECT_TRUE(NoFramesFor(5000)) << "the window kept drawing with the help open";
}

TEST_F(Tobrin, HelpIndexOpensTheBookFromTheBuildTreeAndWhenInstalled) {
  const std::string prefix = files_ / "prefix";
  ASSERT_EQ(RunCommand({{CMAKE_COMMAND, "--install", TOBRIN_BUILD_DIR, "--prefix", prefix}}).status,
            0);
  for (const char* installed :
       {"bin/tobrin", "share/tobrin/help/tobrin.hhp", "share/tobrin/help/index.html",
        "share/applications/org.tobrin.Tobrin.desktop", "share/icons/hicolor/48x48/apps/tobrin.png",
        "share/icons/hicolor/scalable/apps/tobrin.svg"}) {
    EXPECT_TRUE(std::filesystem::exists(prefix + "/" + installed)) << installed;
  }
  for (const std::string step : {"help", "help-installed"}) {
    Start({}, step == "help" ? TOBRIN_EXECUTABLE : prefix + "/bin/tobrin");
    Key("alt+h i");
    EXPECT_TRUE(WaitFor(step, [](auto&) { return FindWindow("^Tobrin Help") != 0; }))
        << ReadFile(stderr_);
    ASSERT_TRUE(EndedWith(0, program_.Stop(ScaledMs(30000))));
    EXPECT_EQ(ReadFile(config_ / "tobrin.ini"), "[Recent File List]\n");  // nothing of the help's
  }
}

}  // namespace
