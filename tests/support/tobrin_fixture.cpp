#include "tests/support/tobrin_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "model/figure.h"
#include "tests/support/scene_helpers.h"

namespace tobrin_test {

using Clock = std::chrono::steady_clock;

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ScaledMs(int ms) {
  static const double scale = [] {
    const char* text = std::getenv("TOBRIN_TEST_TIME_SCALE");
    const double value = text != nullptr ? std::atof(text) : 1.0;
    return value >= 1.0 ? value : 1.0;
  }();
  return static_cast<int>(ms * scale);
}

void Pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ScaledMs(ms)));
}

bool WindowShown(const std::string& prefix) {
  return Shell("xdotool search --onlyvisible --name '^" + prefix + "' >/dev/null 2>&1") == 0;
}

void TobrinFixture::Start(std::vector<std::string> extra, std::vector<std::string> env,
                          const std::string& executable) {
  server_ = std::make_unique<XvfbServer>(1280, 1024, extra);
  ASSERT_TRUE(server_->ok()) << server_->error();
  SetGuiTestEnvironment(server_->display(), config_.path());
  stderr_ = files_ / "stderr.txt";
  // The test's own wrapper outermost, so that a TOBRIN_TEST_WRAPPER (valgrind) still runs the
  // program itself.
  std::vector<std::string> command = wrapper_;
  if (const char* wrapper = std::getenv("TOBRIN_TEST_WRAPPER")) {
    std::istringstream words(wrapper);
    for (std::string word; words >> word;)
      command.push_back(word);
  }
  const bool wrapped = !command.empty();
  command.push_back(wrapped ? executable : "tobrin");
  pid_ = fork();
  if (pid_ == 0) {
    signal(SIGHUP, SIG_DFL);  // the program keeps a hangup ignored (nohup) as it finds it
    for (const std::string& e : env)
      putenv(const_cast<char*>(strdup(e.c_str())));
    freopen(stderr_.c_str(), "w", stderr);
    std::vector<char*> argv;
    for (std::string& word : command)
      argv.push_back(word.data());
    argv.push_back(nullptr);
    if (wrapped) {
      execvp(argv[0], argv.data());
    } else {
      execv(executable.c_str(), argv.data());
    }
    _exit(127);
  }
  ASSERT_GT(pid_, 0);
}

void TobrinFixture::WaitForWindow() {
  ASSERT_EQ(Shell("timeout " + std::to_string(ScaledMs(20000) / 1000) +
                  " xdotool search --sync --onlyvisible --name '^Tobrin$' >" +
                  (files_ / "window.txt") + " 2>/dev/null"),
            0)
      << "no window; stderr: " << ReadFile(stderr_);
  window_ = std::stoul(ReadFile(files_ / "window.txt"));
  // Focus follows the pointer without a window manager, and a manager may not give a new
  // window the focus: give it the focus.
  Shell("xdotool windowfocus --sync " + std::to_string(window_));
  ASSERT_TRUE(WaitFor([&](const RgbaImage& shot) { return FindCanvas(shot); }))
      << "the drawing area never appeared";
}

void TobrinFixture::TearDown() {
  if (pid_ <= 0 || waitpid(pid_, nullptr, WNOHANG) != 0) return;
  kill(pid_, SIGTERM);
  if (WaitForExit(5000) < 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
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

bool TobrinFixture::WaitFor(const std::function<bool(const RgbaImage&)>& ok, int ms,
                            const std::string& step) {
  const auto end = Clock::now() + std::chrono::milliseconds(ScaledMs(ms));
  RgbaImage shot;
  do {
    shot = Shot();
    if (ok(shot)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (Clock::now() < end);
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

Point TobrinFixture::PartOnScreen(const std::string& name) {
  const auto at =
      FrontFaceCentre(BuildFigure().get(), name, DEFAULT_CAMERA, canvasWidth_, canvasHeight_);
  return {at[0], canvasTop_ + at[1]};
}

void TobrinFixture::Key(const std::string& keys) {
  Shell("xdotool key --delay 40 " + keys);
}

Point TobrinFixture::OnScreen(Point p) {
  // Asked each time: a window manager may still move the window after it first shows.
  const WindowPlacement placement = Placement();
  return {placement.x + p.x, placement.y + p.y};
}

void TobrinFixture::MoveTo(Point p) {
  const Point at = OnScreen(p);
  Shell("xdotool mousemove " + std::to_string(at.x) + " " + std::to_string(at.y));
}

void TobrinFixture::Click(Point p, int button) {
  MoveTo(p);
  Shell("xdotool click " + std::to_string(button));
}

void TobrinFixture::Drag(Point from, Point to, int button) {
  MoveTo(from);
  Shell("xdotool mousedown " + std::to_string(button));
  const int steps = 10;
  for (int i = 1; i <= steps; ++i) {
    MoveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
  }
  Shell("xdotool mouseup " + std::to_string(button));
}

int TobrinFixture::WaitForExit(int ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ScaledMs(ms));
  int status = 0;
  while (Clock::now() < end) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

}  // namespace tobrin_test
