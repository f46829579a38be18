#include "tests/support/tobrin_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "model/figure.h"
#include "tests/support/scene_helpers.h"

namespace tobrin_test {

using Clock = std::chrono::steady_clock;

int ScaledMs(int ms) {
  static const double scale = std::max(1.0, std::atof(GetEnv("TOBRIN_TEST_TIME_SCALE").c_str()));
  return static_cast<int>(ms * scale);
}

int Xdotool(const std::string& args) {
  return RunCommand({Words("xdotool " + args)}, ScaledMs(20000)).status;
}

std::vector<unsigned long> ShownWindows(const std::string& name) {
  const Output found =
      RunCommand({{"xdotool", "search", "--onlyvisible", "--name", name}}, ScaledMs(20000));
  std::vector<unsigned long> ids;
  for (const std::string& id : Words(found.text))
    ids.push_back(std::stoul(id));
  return ids;
}

unsigned long FindWindow(const std::string& name, int ms) {
  Command search{{"xdotool", "search", "--onlyvisible", "--name", name}};
  if (ms > 0) search.argv.insert(search.argv.begin() + 2, "--sync");
  // xdotool ends with an X error when a window goes while it walks the windows (as a window
  // manager's own do while it starts): asked again until the deadline.
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const Output found =
        RunCommand(search, ms > 0 ? static_cast<int>(left.count()) : ScaledMs(20000));
    if (found.status == 0) return std::stoul(found.text);
    if (ms <= 0 || Clock::now() >= deadline) return 0;
  }
}

long CountPixels(const RgbaImage& image, int left, int top, int right, int bottom,
                 const std::function<bool(int, int, const Rgb&)>& counted, int step) {
  long count = 0;
  for (int y = top; y < bottom; y += step) {
    for (int x = left; x < right; x += step)
      count += counted(x, y, PixelAt(image, x, y));
  }
  return count;
}

long GuideSphereInk(const RgbaImage& image, int top, int height) {
  return CountPixels(image, 0, top + height * 6 / 10, image.width, top + height - 2,
                     [](int, int, const Rgb& p) { return p.r > 200 && p.g > 200 && p.b > 200; });
}

void TobrinFixture::StartProgram(std::vector<std::string> extra, std::vector<std::string> env,
                                 const std::string& executable) {
  server_.reset();  // one server at a time: an earlier start's goes first
  server_ = std::make_unique<XvfbServer>(XvfbOptions{extra});
  ASSERT_TRUE(server_->ok()) << server_->error();
  SetEnvironment(server_->Environment(config_.path()));
  stderr_ = files_ / "stderr.txt";
  Launch(env, executable);
}

void TobrinFixture::Launch(const std::vector<std::string>& env, const std::string& executable) {
  // The test's own wrapper outermost, so that a TOBRIN_TEST_WRAPPER (valgrind) still runs the
  // program itself.
  Command command{wrapper_, env, stderr_};
  command.ignored = ignoredSignals_;
  for (const std::string& word : Words(GetEnv("TOBRIN_TEST_WRAPPER")))
    command.argv.push_back(word);
  command.argv.push_back(executable);
  program_ = Process(command);
  ASSERT_GT(program_.pid(), 0);
}

void TobrinFixture::WaitForWindow(unsigned long other) {
  if (other == 0) {
    window_ = FindWindow("^Tobrin$", ScaledMs(20000));
  } else {
    window_ = 0;
    WaitUntil(
        [&] {
          for (const unsigned long id : ShownWindows("^Tobrin$")) {
            if (id != other) window_ = id;
          }
          return window_ != 0;
        },
        ScaledMs(20000), 100);
  }
  ASSERT_NE(window_, 0u) << "no window; stderr: " << ReadFile(stderr_);
  Focus();
  ASSERT_TRUE(WaitFor("window", [&](auto& shot) { return FindCanvas(shot); }))
      << "the drawing area never appeared";
}

::testing::AssertionResult TobrinFixture::EndedWith(int expected, int status) {
  const std::string errors = ReadFile(stderr_);
  if (status == expected) return ::testing::AssertionSuccess();
  // The sanitizer's fatal error after its tracer crashed, and no report of a fault of the
  // program's own (a leak, a memory error, undefined behaviour) before it.
  const bool tracerCrashed =
      status == 1 && errors.find("Tracer caught signal") != std::string::npos &&
      errors.find("LeakSanitizer has encountered a fatal error") != std::string::npos &&
      errors.find("ERROR: ") == std::string::npos &&
      errors.find("runtime error: ") == std::string::npos;
  if (tracerCrashed) {
    std::printf(
        "note: LeakSanitizer's tracer crashed at the program's exit, which ended it with "
        "status 1 and no leak check; the status it was ending with is not known:\n%s",
        errors.c_str());
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "ended with " << status << " instead of " << expected << "; stderr:\n"
         << errors;
}

void TobrinFixture::SwapProgram(Instance* other) {
  std::swap(program_, other->program);
  std::swap(window_, other->window);
  std::swap(stderr_, other->stderrPath);
}

void TobrinFixture::StartAnother(Instance* first) {
  SwapProgram(first);
  stderr_ = files_ / ("stderr-" + std::to_string(first->program.pid()) + "-next.txt");
  Launch({}, TOBRIN_EXECUTABLE);
  WaitForWindow(first->window);
}

void TobrinFixture::OpenThroughTheDialog(const std::string& path) {
  Focus();
  Key("ctrl+o");
  const unsigned long dialog = FindWindow("^Open$", ScaledMs(30000));
  ASSERT_NE(dialog, 0u) << "no Open dialog";
  // Typed into the dialog once it has the keyboard.
  const std::string toDialog = "windowfocus --sync " + std::to_string(dialog);
  Xdotool(toDialog + " key ctrl+l");
  RunCommand({{"xdotool", "type", "--delay", "10", path}});
  // The first Return may only accept the location entry's completion: Return until it goes.
  const auto closed = [&] {
    Xdotool(toDialog + " key Return");  // fails, sending nothing, once the dialog has gone
    return WaitUntil([] { return FindWindow("^Open$") == 0; }, ScaledMs(2000));
  };
  EXPECT_TRUE(WaitUntil(closed, ScaledMs(30000), 0)) << "the Open dialog stayed";
}

WindowPlacement TobrinFixture::Placement() {
  WindowPlacement placement;
  std::string error;
  if (window_ != 0) {
    EXPECT_TRUE(PlaceWindow(server_->display().c_str(), window_, &placement, &error)) << error;
  }
  return placement;
}

std::string TobrinFixture::FrameSize() {
  const WindowPlacement p = Placement();
  return std::to_string(p.left + p.width + p.right) + "x" +
         std::to_string(p.top + p.height + p.bottom);
}

RgbaImage TobrinFixture::Shot() {
  RgbaImage image;
  std::string error;
  EXPECT_TRUE(GrabWindow(server_->display().c_str(), window_, &image, &error)) << error;
  return image;
}

void TobrinFixture::Keep(const RgbaImage& image, const std::string& step) {
  const std::string dir = std::string(TOBRIN_TEST_OUTPUT_DIR) + "/test-images";
  std::filesystem::create_directories(dir);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  WritePng(dir + "/e2e-" + info->name() + "-" + step + ".png", image, nullptr);
}

bool TobrinFixture::WaitFor(const std::string& step,
                            const std::function<bool(const RgbaImage&)>& ok, int ms) {
  RgbaImage shot;
  if (WaitUntil([&] { return ok(shot = Shot()); }, ScaledMs(ms))) return true;
  Keep(shot, step);
  return false;
}

bool TobrinFixture::FindCanvas(const RgbaImage& shot) {
  int top = -1, bottom = -1;
  for (int y = 0; y < shot.height; ++y) {
    const Rgb p = PixelAt(shot, 3, y);
    if (p.r == 0 && p.g == 0 && p.b == 0) {
      if (top < 0) top = y;
      bottom = y;
    } else if (top >= 0) {
      break;
    }
  }
  if (top < 5 || bottom - top < 100) return false;
  // The screen around the window is black too: the menu bar above shows the window's width.
  int right = 3;
  while (right + 1 < shot.width && PixelAt(shot, right + 1, top - 3).r > 100)
    ++right;
  canvasTop_ = top;
  canvasWidth_ = right + 1;
  canvasHeight_ = bottom - top + 1;
  return true;
}

bool TobrinFixture::EnterJointsMode() {
  Key("alt+m j Left");
  const auto white = [](int, int, const Rgb& p) { return p.r > 220 && p.g > 220 && p.b > 220; };
  return WaitFor("joints-mode", [&](const RgbaImage& s) {
    return CountPixels(s, 0, canvasTop_, canvasWidth_, canvasTop_ + canvasHeight_, white) > 20;
  });
}

std::vector<std::string> TobrinFixture::CountFrames(bool wine) {
  frameLog_ = files_ / "frames.log";
  WriteFile(frameLog_, "");
  return {std::string(wine ? "LD_AUDIT=" : "LD_PRELOAD=") + TOBRIN_FRAME_SHIM,
          "FRAME_LOG=" + frameLog_};
}

bool TobrinFixture::NoFramesFor(int ms) {
  const auto frames = [&] {
    const std::string log = ReadFile(frameLog_);
    return std::count(log.begin(), log.end(), '\n');
  };
  // Settled once a second passes without a frame.
  const bool settled = WaitUntil(
      [&] {
        const auto before = frames();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return frames() == before;
      },
      ScaledMs(30000), 0);
  // The first paint is a frame: none at all means nothing was counted.
  if (!settled || frames() == 0) return false;
  const auto before = frames();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  return frames() == before;
}

Point TobrinFixture::PartOnScreen(const std::string& name) {
  const auto at =
      FrontFaceCentre(BuildFigure().get(), name, DEFAULT_CAMERA, canvasWidth_, canvasHeight_);
  return {at[0], canvasTop_ + at[1]};
}

std::string TobrinFixture::MouseTo(Point p) {
  // Asked each time: a window manager may still move the window after it first shows.
  const WindowPlacement placement = Placement();
  return "mousemove " + std::to_string(placement.x + p.x) + " " + std::to_string(placement.y + p.y);
}

void TobrinFixture::Drag(Point from, Point to, int button) {
  Xdotool(MouseTo(from) + " mousedown " + std::to_string(button));
  const int steps = 10;
  for (int i = 1; i <= steps; ++i)
    MoveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
  Xdotool("mouseup " + std::to_string(button));
}

}  // namespace tobrin_test
