// Soak: minutes of random real input against the running program on a private X server: every
// mode, both buttons, clicks and drags, the menus by keyboard and by mouse, the About box, the
// file dialog, the help window, accelerators and window resizes. After every burst of input the
// program must show, within a second, the effect of three menu commands (Reset, Orientation,
// Visible Arcball: the guide sphere appears or goes), not counting time spent waiting for a
// processor that other jobs held; its resident memory may grow by no more
// than 1 MiB after a warm-up that did everything once; and it must exit cleanly at the end.
//
// TOBRIN_SOAK_SECONDS sets how long the random input runs (40 by default, the CI form; the
// warm-up comes on top), TOBRIN_SOAK_SEED the random sequence (printed, for reproducing a run).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "tests/support/processor_wait.h"
#include "tests/support/resident_memory.h"
#include "tests/support/tobrin_fixture.h"

// Last: its macros (None, Bool, Status) would clash with the names of the headers above.
#include <X11/Xlib.h>

namespace {

using namespace tobrin_test;
using Clock = std::chrono::steady_clock;

long EnvironmentNumber(const char* name, long fallback) {
  const std::string text = GetEnv(name);
  return text.empty() ? fallback : std::atol(text.c_str());
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Asks a top-level window to close, as a window manager's close button does.
void RequestClose(const std::string& display, unsigned long window) {
  Display* d = XOpenDisplay(display.c_str());
  if (d == nullptr) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &event);
  XCloseDisplay(d);
}

class Soak : public TobrinFixture {
 protected:
  // The sizes the main window takes: the drawing area stays taller than the Mode menu.
  static constexpr int kMinWidth = 360, kMaxWidth = 1000, kMinHeight = 420, kMaxHeight = 800;

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Uniform(0, static_cast<int>(items.size()) - 1)];
  }

  Point RandomCanvasPoint() {
    return {Uniform(2, width_ - 3), Uniform(canvasTop_ + 2, height_ - chromeBottom_ - 3)};
  }

  // Runs xdotool with `args`, which send `events` X input events.
  void Xdo(const std::string& args, long events) {
    Xdotool(args);
    events_ += events;
  }

  // Key chords separated by blanks, as `xdotool key` takes them; each key of a chord (one more
  // than its '+' signs) is one press and one release.
  void Keys(const std::string& chords) {
    const long keys = Words(chords).size() + std::count(chords.begin(), chords.end(), '+');
    Xdo("key --delay 30 " + chords, 2 * keys);
  }

  // Waits until a window matching `pattern` is shown (or gone) and notes how long it took: the
  // window's id (0 once gone, or if it never came).
  unsigned long WaitForDialog(const std::string& pattern, bool shown) {
    const auto start = Clock::now();
    unsigned long found = 0;
    if (WaitUntil([&] { return ((found = FindWindow(pattern)) != 0) == shown; }, ScaledMs(30000),
                  15)) {
      maxDialogMs_ = std::max(maxDialogMs_, MsSince(start));
      return found;
    }
    ADD_FAILURE() << "the window " << pattern << (shown ? " never appeared" : " never went");
    return 0;
  }

  // --- the kinds of input -------------------------------------------------------------------

  void ModeByMenu() { Keys("alt+m " + Pick<std::string>({"p", "o", "j"})); }

  void ToggleArcball() {
    Keys("alt+m a");
    sphereOn_ = !sphereOn_;
  }

  void ResetByMenu() { Keys("alt+f " + Pick<std::string>({"r", "j"})); }

  void Clicks() {
    const int button = Pick<int>({1, 1, 3});
    const int times = Pick<int>({1, 1, 2});
    Xdo(MouseTo(RandomCanvasPoint()) + " click --repeat " + std::to_string(times) + " --delay 60 " +
            std::to_string(button),
        1 + 2 * times);
  }

  void Drag(int button) {
    const Point p = RandomCanvasPoint(), to = RandomCanvasPoint();
    const int steps = Uniform(2, 12);
    std::string args = MouseTo(p) + " mousedown " + std::to_string(button);
    for (int i = 1; i <= steps; ++i)
      args += " " + MouseTo({p.x + (to.x - p.x) * i / steps, p.y + (to.y - p.y) * i / steps});
    args += " mouseup " + std::to_string(button);
    Xdo(args, 1 + 1 + steps + 1);
  }

  void Hover() {
    std::string args;
    const int moves = Uniform(1, 6);
    for (int i = 0; i < moves; ++i)
      args += " " + MouseTo(RandomCanvasPoint());
    Xdo(args, moves);
  }

  // Opens a menu by its mnemonic, walks in the menus with the arrow keys, and closes them.
  void BrowseMenus() {
    std::string keys = "alt+" + Pick<std::string>({"f", "m", "h"});
    const int steps = Uniform(0, 4);
    for (int i = 0; i < steps; ++i)
      keys += " " + Pick<std::string>({"Down", "Up", "Left", "Right"});
    Keys(keys + " Escape Escape");
  }

  // Opens a menu with the mouse on its title, and closes it.
  void MenuByMouse() {
    const Point title = {Pick<int>({18, 60, 105}), canvasTop_ / 2};
    Xdo(MouseTo(title) + " click 1", 3);
    Keys("Escape Escape");
  }

  void Accelerators() {
    Keys(Pick<std::string>({"ctrl+n", "ctrl+z", "ctrl+x", "ctrl+c", "ctrl+v", "alt+BackSpace",
                            "shift+Delete", "ctrl+Insert", "shift+Insert", "F6", "shift+F6"}));
  }

  // Opens a window with `keys`; once it shows, closes it with the key `close` in it (or, with
  // none, as a window manager's close button does) and waits until it goes.
  void Dialog(const std::string& keys, const std::string& name, const std::string& close) {
    Keys(keys);
    const unsigned long id = WaitForDialog(name, true);
    if (id == 0) return;
    if (close.empty())
      RequestClose(server_->display(), id);
    else
      Xdo("windowfocus --sync " + std::to_string(id) + " key " + close, 2);
    WaitForDialog(name, false);
    Focus();
    ++dialogs_;
  }

  void AboutBox() { Dialog("alt+h a", "^About tobrin$", Pick<std::string>({"Escape", "Return"})); }
  void OpenDialog() { Dialog("ctrl+o", "^Open$", "Escape"); }
  void HelpWindow() { Dialog("alt+h i", "^Tobrin Help", ""); }

  void ResizeTo(int width, int height) {
    width_ = width;
    height_ = height;
    Xdotool("windowsize " + std::to_string(window_) + " " + std::to_string(width) + " " +
            std::to_string(height));
    ++resizes_;
  }

  void Resize() { ResizeTo(Uniform(kMinWidth, kMaxWidth), Uniform(kMinHeight, kMaxHeight)); }

  // One random kind of input, weighted towards the mouse in the drawing area.
  void RandomAction() {
    const std::vector<std::function<void()>> actions = {
        [&] { ModeByMenu(); },  [&] { ModeByMenu(); },    [&] { Clicks(); },
        [&] { Clicks(); },      [&] { Clicks(); },        [&] { Drag(1); },
        [&] { Drag(1); },       [&] { Drag(3); },         [&] { Drag(3); },
        [&] { Hover(); },       [&] { ToggleArcball(); }, [&] { ResetByMenu(); },
        [&] { BrowseMenus(); }, [&] { MenuByMouse(); },   [&] { Accelerators(); },
        [&] { Resize(); },      [&] { AboutBox(); },      [&] { OpenDialog(); },
        [&] { HelpWindow(); },
    };
    Pick(actions)();
  }

  // Every kind of input once.
  void EveryAction() {
    for (const char* mode : {"p", "o", "j"}) {
      Keys(std::string("alt+m ") + mode);
      Clicks();
      Drag(1);
      Drag(3);
    }
    for (void (Soak::*action)() : {&Soak::Hover, &Soak::ToggleArcball, &Soak::ResetByMenu,
                                   &Soak::BrowseMenus, &Soak::MenuByMouse, &Soak::Accelerators,
                                   &Soak::AboutBox, &Soak::OpenDialog, &Soak::HelpWindow})
      (this->*action)();
    ResizeTo(kMaxWidth, kMaxHeight);
    CheckAlive("at the largest size");
    ResizeTo(kMinWidth, kMinHeight);
  }

  // --- liveness -------------------------------------------------------------------------------

  // The guide sphere's ink in the drawing area at the window's current size.
  long SphereInk(const RgbaImage& frame) {
    return GuideSphereInk(frame, canvasTop_, frame.height - canvasTop_ - chromeBottom_);
  }

  // The program's resident memory at the size it started with: the drawing buffers, which
  // follow the window's size, weigh the same at every measurement. Read once it holds still,
  // as the old size's buffers may be let go after the frame that shows the new one.
  long MeasureResident() {
    ResizeTo(startWidth_, startHeight_);
    CheckAlive("before measuring memory");
    long last = -1;
    int same = 0;
    WaitUntil(
        [&] {
          const long now = ResidentKiB(program_.pid());
          same = now == last ? same + 1 : 0;
          last = now;
          return same >= 3;
        },
        ScaledMs(30000));
    return last;
  }

  // The probe: Reset, Orientation, Visible Arcball through the menus, while the program still
  // runs. Within a second the screen must show the guide sphere as it now should be, which takes
  // the program's event loop handling three commands and painting. On a busy machine the time
  // the program's threads spent waiting for a processor that other jobs held is not counted: it
  // is not the program's slowness. Its sleeping, blocking and computing all still count, and so
  // does all the X server and this test take.
  void CheckAlive(const std::string& when) {
    ASSERT_TRUE(program_.Running()) << "the program ended " << when << ": " << ReadFile(stderr_);
    Keys("alt+f r alt+m o alt+m a");
    sphereOn_ = !sphereOn_;
    const auto start = Clock::now();
    const double waitedBefore = ProcessorWaitMs(program_.pid());
    RgbaImage shot;
    const auto answered = [&] {
      const long ink = SphereInk(shot = Shot());
      return sphereOn_ ? ink >= kSphereShownInk : ink <= kSphereHiddenInk;
    };
    if (!WaitUntil(answered, ScaledMs(30000), 5)) {
      Keep(shot, "probe");
      FAIL() << "no answer to the probe " << when;
    }
    const double elapsed = MsSince(start);
    // Threads that ended meanwhile take their counts with them: never below nothing.
    const double waited = std::max(0.0, ProcessorWaitMs(program_.pid()) - waitedBefore);
    const double ms = std::max(0.0, elapsed - waited);
    maxLatencyMs_ = std::max(maxLatencyMs_, ms);
    maxWaitedMs_ = std::max(maxWaitedMs_, waited);
    ++probes_;
    EXPECT_LE(ms, 1000) << "slow answer to the probe " << when << ": " << std::lround(elapsed)
                        << " ms, of which " << std::lround(waited) << " ms waiting for a processor";
  }

  std::mt19937 random_;
  int width_ = 0, height_ = 0;  // the main window's size as last set
  int startWidth_ = 0, startHeight_ = 0;
  int chromeBottom_ = 0;   // the status bar under the drawing area
  bool sphereOn_ = false;  // Visible Arcball as this test set it
  long events_ = 0;        // X input events sent
  int resizes_ = 0, dialogs_ = 0, probes_ = 0, bursts_ = 0;
  double maxLatencyMs_ = 0, maxWaitedMs_ = 0, maxDialogMs_ = 0;
};

TEST_F(Soak, RandomInputForMinutesKeepsItResponsiveAndLean) {
  const long seconds = EnvironmentNumber("TOBRIN_SOAK_SECONDS", 40);
  const auto seed =
      static_cast<unsigned>(EnvironmentNumber("TOBRIN_SOAK_SEED", std::random_device{}()));
  random_.seed(seed);
  std::printf("soak: seed %u, %ld s of random input\n", seed, seconds);
  SCOPED_TRACE("seed " + std::to_string(seed));  // on every failure, for reproducing the run

  // glibc keeps freed memory, up to twice the largest block it last returned to the system,
  // for later use: after a window of drawing buffers is freed that is many megabytes of noise in
  // the resident size. Fixed thresholds make it return freed memory at once, so the resident
  // size follows the memory in use.
  Start({"MALLOC_MMAP_THRESHOLD_=131072", "MALLOC_TRIM_THRESHOLD_=131072"});
  ASSERT_FALSE(HasFatalFailure());
  const RgbaImage first = Shot();
  ASSERT_EQ(first.width, canvasWidth_) << "the main window is not at the screen's corner";
  width_ = startWidth_ = first.width;
  height_ = startHeight_ = first.height;
  chromeBottom_ = height_ - canvasTop_ - canvasHeight_;
  ASSERT_GT(chromeBottom_, 0);
  ASSERT_LE(SphereInk(first), kSphereHiddenInk)
      << "white in the drawing area before the sphere is on";

  // Warm-up: everything once, twice, so that the toolkit has made its caches and the program
  // all it ever makes.
  for (int round = 0; round < 2; ++round) {
    EveryAction();
    CheckAlive("in the warm-up");
    ASSERT_FALSE(HasFatalFailure());
  }
  const long rssBefore = MeasureResident();
  ASSERT_GT(rssBefore, 0) << "no resident size to measure";
  long rssMax = rssBefore;

  const auto end = Clock::now() + std::chrono::seconds(seconds);
  const auto started = Clock::now();
  while (Clock::now() < end) {
    const int actions = Uniform(4, 12);
    for (int i = 0; i < actions; ++i)
      RandomAction();
    ++bursts_;
    CheckAlive("after burst " + std::to_string(bursts_));
    ASSERT_FALSE(HasFatalFailure());
    rssMax = std::max(rssMax, ResidentKiB(program_.pid()));
    if (bursts_ % 20 == 0) {
      std::printf("soak: %.0f s, %d bursts, %ld input events, VmRSS %ld KiB at the start size\n",
                  MsSince(started) / 1000.0, bursts_, events_, MeasureResident());
      std::fflush(stdout);
    }
  }
  const double randomSeconds = MsSince(started) / 1000.0;
  const long rssAfter = MeasureResident();

  std::printf(
      "soak: %.0f s of random input after the warm-up, %d bursts, %ld input events, %d resizes, "
      "%d dialogs and help windows; probes %d, slowest %.0f ms (and at most %.0f ms waiting for "
      "a processor); slowest dialog %.0f ms; "
      "VmRSS %ld KiB after warm-up, %ld KiB at the end (%+ld KiB), %ld KiB at most\n",
      randomSeconds, bursts_, events_, resizes_, dialogs_, probes_, maxLatencyMs_, maxWaitedMs_,
      maxDialogMs_, rssBefore, rssAfter, rssAfter - rssBefore, rssMax);
  RecordProperty("input_events", static_cast<int>(events_));
  RecordProperty("max_latency_ms", static_cast<int>(maxLatencyMs_));
  RecordProperty("rss_growth_kib", static_cast<int>(rssAfter - rssBefore));
#if defined(__SANITIZE_ADDRESS__)
  std::printf("soak: memory growth not judged: AddressSanitizer keeps freed memory aside\n");
#else
  EXPECT_LE(rssAfter - rssBefore, 1024) << "resident memory grew";
#endif

  QuitByMenu();
}

}  // namespace
