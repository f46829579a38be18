// End to end on Windows: the MSI installed into a fresh private Wine prefix, and tobrin.exe run
// from where it installed, on the private X server under a window manager, driven and looked at
// as the Linux program is. Wine shows OpenGL in an X window of its own, off the screen: the
// screenshots put its picture into the drawing area.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "harness/png_io.h"
#include "tests/support/tobrin_fixture.h"
// Last: Xlib's macros (None, Bool) would break the test framework's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using namespace tobrin_test;
namespace fs = std::filesystem;

// Wine's OpenGL window: the one child of a 1 x 1 window it keeps at (-1, -1), the largest if
// there are several. 0 if there is none.
unsigned long FindGLWindow(Display* display) {
  Window root = 0, parent = 0, *children = nullptr, *inner = nullptr;
  unsigned int count = 0, innerCount = 0;
  unsigned long found = 0;
  long foundArea = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes holder;
    if (!XGetWindowAttributes(display, children[i], &holder) || holder.width != 1 ||
        holder.height != 1 || holder.x != -1 || holder.y != -1) {
      continue;
    }
    if (!XQueryTree(display, children[i], &root, &parent, &inner, &innerCount)) continue;
    for (unsigned int j = 0; j < innerCount; ++j) {
      XWindowAttributes gl;
      if (XGetWindowAttributes(display, inner[j], &gl) && long(gl.width) * gl.height > foundArea) {
        found = inner[j];
        foundArea = long(gl.width) * gl.height;
      }
    }
    if (inner != nullptr) XFree(inner);
  }
  if (children != nullptr) XFree(children);
  return found;
}

class WineTobrin : public TobrinFixture {
 protected:
  void SetUp() override {
    prefix_ = files_ / "wine";
    // A fresh prefix; no Mono or Gecko installer prompts, no menu entries written into the
    // user's desktop.
    SetEnvironment({"WINEPREFIX=" + prefix_, "WINEARCH=win64", "WINEDEBUG=-all",
                    "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"});
  }

  void TearDown() override {
    TobrinFixture::TearDown();
    RunCommand({{"wineserver", "-k"}}, ScaledMs(30000));
  }

  // The private server and its window manager, without the program.
  void StartServer(std::vector<std::string> extra = {}) {
    server_ = std::make_unique<XvfbServer>(XvfbOptions{extra});
    ASSERT_TRUE(server_->ok()) << server_->error();
    SetEnvironment(server_->Environment(config_.path()));
    stderr_ = files_ / "stderr.txt";
  }

  // The private server (`extra`: more Xvfb arguments) with the MSI installed in the prefix.
  void StartServerAndInstall(std::vector<std::string> extra = {}) {
    StartServer(std::move(extra));
    ASSERT_EQ(Msiexec("/i"), 0) << ReadFile(files_ / "msiexec-i.txt");
  }

  // Starts the installed program, as its Start menu shortcut does.
  void LaunchInstalled(const std::vector<std::string>& env = {}) {
    wrapper_ = {"wine"};
    Launch(env, "C:\\Program Files\\Tobrin\\tobrin.exe");
  }

  int Msiexec(const std::string& action) {
    const Output out = RunCommand({{"wine", "msiexec", action, TOBRIN_WINDOWS_MSI, "/qn"},
                                   {},
                                   files_ / ("msiexec-" + action.substr(1) + ".txt")},
                                  ScaledMs(180000));
    RunCommand({{"wineserver", "-w"}}, ScaledMs(60000));
    return out.status;
  }

  fs::path Installed() const { return fs::path(prefix_) / "drive_c/Program Files/Tobrin"; }

  // Where Windows keeps the settings: the roaming application data folder of the user.
  fs::path SettingsFile() const {
    for (const auto& user : fs::directory_iterator(fs::path(prefix_) / "drive_c/users")) {
      const fs::path file = user.path() / "AppData/Roaming/Tobrin/tobrin.ini";
      if (fs::exists(file)) return file;
    }
    return fs::path();
  }

  // The window as the screen shows it, with Wine's OpenGL picture in its drawing area.
  RgbaImage Shot() override {
    RgbaImage shot = TobrinFixture::Shot();
    const std::unique_ptr<Display, int (*)(Display*)> display(
        XOpenDisplay(server_->display().c_str()), XCloseDisplay);
    if (display == nullptr || window_ == 0) return shot;
    const unsigned long gl = FindGLWindow(display.get());
    XWindowAttributes a;
    if (gl == 0 || !XGetWindowAttributes(display.get(), gl, &a)) return shot;
    XImage* image = XGetImage(display.get(), gl, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (image == nullptr) return shot;
    // The drawing area begins at the first black row under the menu bar, at the left edge;
    // once found, it stays there (an open menu may cover that edge later).
    int top = canvasTop_;
    if (top == 0) {
      while (top < shot.height && PixelAt(shot, 3, top).r + PixelAt(shot, 3, top).g > 0)
        ++top;
    }
    for (int y = 0; y < a.height && top + y < shot.height; ++y) {
      for (int x = 0; x < a.width && x < shot.width; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        unsigned char* out = &shot.pixels[(size_t(top + y) * shot.width + x) * 4];
        out[0] = (p >> 16) & 0xff;
        out[1] = (p >> 8) & 0xff;
        out[2] = p & 0xff;
      }
    }
    XDestroyImage(image);
    return shot;
  }

  // Whether Wine hands the window manager this picture as an icon of the main window:
  // _NET_WM_ICON holds, for each size, its width, its height and its pixels as ARGB.
  bool HasWindowIcon(const RgbaImage& png) {
    const std::unique_ptr<Display, int (*)(Display*)> display(
        XOpenDisplay(server_->display().c_str()), XCloseDisplay);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (display == nullptr ||
        XGetWindowProperty(display.get(), window_,
                           XInternAtom(display.get(), "_NET_WM_ICON", False), 0, 1 << 20, False,
                           XA_CARDINAL, &type, &format, &count, &left, &data) != Success) {
      return false;
    }
    const std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
    const auto* items = reinterpret_cast<const unsigned long*>(data);  // 32-bit items as longs
    const unsigned long size = png.pixels.size() / 4, shifts[] = {16, 8, 0, 24};
    for (unsigned long at = 0; at + 2 + size <= count; at += 2 + items[at] * items[at + 1]) {
      bool same = items[at] == unsigned(png.width) && items[at + 1] == unsigned(png.height);
      for (unsigned long i = 0; same && i < 4 * size; ++i)
        same = png.pixels[i] == ((items[at + 2 + i / 4] >> shifts[i % 4]) & 0xff);
      if (same) return true;
    }
    return false;
  }

  // A menu command by its keys until `done` shows. Wine's menus can miss an item's key that comes
  // while the menu is still opening, and are left open then: closed, the command goes again.
  bool MenuCommand(const std::string& keys, const std::string& step,
                   const std::function<bool(const RgbaImage&)>& done) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (attempt > 0) Key("Escape Escape");
      Key(keys);
      if (WaitFor(step, done, 10000)) return true;
    }
    return false;
  }

  long Lit(const RgbaImage& s) {
    return CountPixels(
        s, 0, canvasTop_, canvasWidth_, canvasTop_ + canvasHeight_,
        [](int, int, const Rgb& p) { return p.r + p.g + p.b > 60; }, 2);
  }

  std::string prefix_;
};

TEST_F(WineTobrin, InstalledFromTheMsiItWorksAndUninstallsClean) {
  ASSERT_NO_FATAL_FAILURE(StartServerAndInstall());
  for (const char* file : {"tobrin.exe", "help/tobrin.hhp", "help/index.html"}) {
    EXPECT_TRUE(fs::exists(Installed() / file)) << file;
  }
  LaunchInstalled(CountFrames(true));
  WaitForWindow();
  // What Windows itself says of the window and the installed executable.
  Output probe =
      RunCommand({{"wine", TOBRIN_WINDOWS_PROBE, "C:\\Program Files\\Tobrin\\tobrin.exe"},
                  {},
                  files_ / "probe.txt"},
                 ScaledMs(60000));
  EXPECT_EQ(probe.status, 0) << probe.text << ReadFile(files_ / "probe.txt");
  // A Windows console writes its line ends as CR LF.
  probe.text.erase(std::remove(probe.text.begin(), probe.text.end(), '\r'), probe.text.end());
  for (const char* line :
       {"frame 500x500\n", "style caption=1 sysmenu=1 sizing=1 minimize=1 maximize=0\n",
        "file-version 1.0.0.1\n", "product-version 1.0.0.1\n", "original-name TOBRIN.EXE\n",
        "icon-128 32x32x32 16x16x32 32x32x1\n"}) {
    EXPECT_NE(probe.text.find(line), std::string::npos) << line << " not in:\n" << probe.text;
  }
  EXPECT_GT(Lit(Shot()), 2000) << "no figure in the drawing area";
  // The window's own icons, as the window manager gets them: the resource's colour forms, which
  // are the PNGs, not Wine's blank window. (Wine answers no other program's WM_GETICON, nor
  // gives it the class icon.)
  for (const std::string size : {"32x32", "16x16"}) {
    RgbaImage png;
    std::string error;
    ASSERT_TRUE(
        ReadPng(TOBRIN_SOURCE_DIR "/res/icons/hicolor/" + size + "/apps/tobrin.png", &png, &error))
        << error;
    EXPECT_TRUE(HasWindowIcon(png)) << "no " << size << " window icon of the resource's";
  }

  // Joints: a pick turns the forearm red; a right drag bends it away, up to the elbow's limit
  // and no further; Reset Joints brings it back.
  Key("alt+m j");
  const Point forearm = PartOnScreen("LeftForearm");
  Click(forearm);
  ASSERT_TRUE(WaitForRed(forearm, true, "picked")) << "the picked forearm did not turn red";
  Drag(forearm, {forearm.x, forearm.y - 120}, 3);
  ASSERT_TRUE(WaitForRed(forearm, false, "bent")) << "the bent forearm did not move";
  // Each drag starts away from where the last one did: a second press at the same place soon
  // after is the second click of a double click, which Windows sends instead of a press, and
  // which the view, as it should, takes for no press at all.
  const Point aside = {forearm.x + 30, forearm.y};
  Drag(aside, {aside.x, aside.y - 300}, 3);  // past the limit
  ASSERT_TRUE(MarkHandled("limit"));
  const RgbaImage atLimit = Shot();
  Key("alt+m j");
  Drag(forearm, {forearm.x, forearm.y - 300}, 3);  // further still: nothing moves
  ASSERT_TRUE(MarkHandled("limit-held"));
  EXPECT_TRUE(Shot().pixels == atLimit.pixels) << "the elbow bent past its limit";
  ASSERT_TRUE(MenuCommand("alt+f j", "joints reset", [&](const RgbaImage& s) {
    return IsRed(PixelAt(s, forearm.x, forearm.y));
  })) << "Reset Joints did not bring the forearm back";

  // Orientation: a left drag turns the figure; File, Reset puts it back.
  const RgbaImage before = Shot();
  Key("alt+m o");
  const Point centre = {canvasWidth_ / 2, canvasTop_ + canvasHeight_ / 2};
  Drag(centre, {centre.x + 80, centre.y + 10}, 1);
  ASSERT_TRUE(WaitFor("turned", [&](const RgbaImage& s) { return s.pixels != before.pixels; }))
      << "the arcball drag did not turn the figure";
  ASSERT_TRUE(MenuCommand("alt+f r", "reset", [&](const RgbaImage& s) {
    return s.pixels == before.pixels;
  })) << "Reset did not bring the figure back";

  // Keys without a command of their own change nothing.
  Key("ctrl+z ctrl+x ctrl+c ctrl+v alt+BackSpace shift+Delete ctrl+Insert shift+Insert F6 "
      "shift+F6 ctrl+n");
  ASSERT_TRUE(MarkHandled("keys"));
  EXPECT_TRUE(Shot().pixels == before.pixels) << "the keys changed the picture";

  // Made smaller, with no other input to paint it again: the drawing area shows the whole
  // figure at its new size, not the picture of the old size cut off, nor black.
  Xdotool("windowsize " + std::to_string(window_) + " 300 300");
  ASSERT_TRUE(WaitFor("resized", [&](const RgbaImage& s) {
    if (!FindCanvas(s) || canvasWidth_ != 300) return false;
    for (const char* part : {"Head", "LeftFoot", "RightFoot", "LeftHand", "RightHand"}) {
      const Point p = PartOnScreen(part);
      const Rgb shown = PixelAt(s, p.x, p.y);
      if (shown.r + shown.g + shown.b < 60) return false;
    }
    return true;
  })) << "the drawing area did not show the figure after the resize";

  // About opens once at a time: asked twice, one box.
  Key("alt+h a");
  ASSERT_NE(FindWindow("^About tobrin$", ScaledMs(30000)), 0u) << "no About box";
  Xdotool("key --window " + std::to_string(window_) + " alt+h a");
  EXPECT_EQ(ShownWindows("^About tobrin$").size(), 1u);
  Xdotool("windowfocus --sync " + std::to_string(FindWindow("^About tobrin$")) + " key Return");
  ASSERT_TRUE(WaitUntil([] { return FindWindow("^About tobrin$") == 0; }, ScaledMs(30000)));

  // Help, Index opens the book installed beside the program, and reading it costs no frames.
  Focus();
  Key("alt+h i");
  EXPECT_NE(FindWindow("^Tobrin Help", ScaledMs(30000)), 0u) << "the help book did not open";
  EXPECT_TRUE(NoFramesFor(5000)) << "the window kept drawing with the help open";

  // Closed by its close box (through the window manager), the book gives the keyboard back.
  Xdotool("windowfocus --sync " + std::to_string(FindWindow("^Tobrin Help")) + " key alt+F4");
  ASSERT_TRUE(WaitUntil([] { return FindWindow("^Tobrin Help") == 0; }, ScaledMs(30000)));

  // File, Exit: status 0, and the settings in the roaming application data folder.
  Focus();
  for (int attempt = 0; attempt < 3 && program_.Running(); ++attempt) {
    if (attempt > 0) Key("Escape Escape");
    Key("alt+f x");
    WaitUntil([&] { return !program_.Running(); }, ScaledMs(10000));
  }
  EXPECT_TRUE(EndedWith(0, WaitForExit()));
  const fs::path settings = SettingsFile();
  ASSERT_FALSE(settings.empty()) << "no settings file under AppData/Roaming/Tobrin";
  EXPECT_NE(ReadFile(settings).find("[Recent File List]"), std::string::npos);

  // Uninstalling removes the program and leaves the user's settings.
  ASSERT_EQ(Msiexec("/x"), 0);
  EXPECT_FALSE(fs::exists(Installed() / "tobrin.exe"));
  EXPECT_FALSE(fs::exists(Installed() / "help"));
  EXPECT_TRUE(fs::exists(settings));
}

}  // namespace

namespace {

TEST_F(WineTobrin, TheEndOfTheSessionClosesItAndKeepsTheSettings) {
  ASSERT_NO_FATAL_FAILURE(StartServerAndInstall());
  LaunchInstalled();
  WaitForWindow();
  // Logging off, as Wine's own session end announces it to every program.
  ASSERT_EQ(RunCommand({{"wine", "wineboot", "--end-session"}}, ScaledMs(60000)).status, 0);
  EXPECT_TRUE(EndedWith(0, WaitForExit()));
  const fs::path settings = SettingsFile();
  ASSERT_FALSE(settings.empty()) << "the settings were not saved at the end of the session";
  EXPECT_NE(ReadFile(settings).find("[Recent File List]"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(WineTobrin, WithoutOpenGLItSaysSoInABoxAndExitsWithStatusOne) {
  // A display without OpenGL: Wine's WGL has nothing under it.
  ASSERT_NO_FATAL_FAILURE(StartServerAndInstall({"-extension", "GLX"}));
  LaunchInstalled();
  // The main window shows for a moment before the box that replaces it, with the same name:
  // Return to whichever shows, until the program ends.
  const bool ended = WaitUntil(
      [&] {
        Xdotool("search --onlyvisible --name ^Tobrin$ windowfocus --sync key Return");
        return program_.Wait(ScaledMs(1000)) >= 0;
      },
      ScaledMs(60000), 0);
  ASSERT_TRUE(ended) << "no message box ended it; stderr: " << ReadFile(stderr_);
  EXPECT_TRUE(EndedWith(1, WaitForExit()));
  EXPECT_NE(ReadFile(stderr_).find("tobrin: OpenGL could not be used on this display"),
            std::string::npos)
      << ReadFile(stderr_);
}

}  // namespace

namespace {

TEST_F(WineTobrin, OnAScaledDisplayTheWindowGrowsAndPicksUnderThePointer) {
  ASSERT_NO_FATAL_FAILURE(StartServerAndInstall());
  // 192 dots per inch: Windows' 200 % scale.
  ASSERT_EQ(RunCommand({{"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                         "/t", "REG_DWORD", "/d", "192", "/f"}},
                       ScaledMs(60000))
                .status,
            0);
  RunCommand({{"wineserver", "-w"}}, ScaledMs(60000));
  LaunchInstalled();
  WaitForWindow();
  const Output probe = RunCommand({{"wine", TOBRIN_WINDOWS_PROBE}}, ScaledMs(60000));
  EXPECT_NE(probe.text.find("frame 1000x1000"), std::string::npos) << probe.text;
  Key("alt+m j");
  const Point forearm = PartOnScreen("LeftForearm");
  Click(forearm);
  EXPECT_TRUE(WaitForRed(forearm, true, "scaled pick")) << "the click did not pick the forearm";
}

}  // namespace

namespace {

TEST_F(WineTobrin, InAGermanSessionTheAboutBoxAndTheHelpBookAreGerman) {
  ASSERT_NO_FATAL_FAILURE(StartServerAndInstall());
  // Wine takes the display language from the locale of the process.
  LaunchInstalled({"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8", "LANGUAGE"});
  WaitForWindow();
  // Help, "Über Tobrin...", the second item; Wine's menus can miss a key while they open.
  unsigned long about = 0;
  for (int attempt = 0; attempt < 3 && about == 0; ++attempt) {
    Focus();
    Key("Escape Escape alt+h");
    Key("Down Return");
    about = FindWindow("^Über tobrin$", ScaledMs(10000));
  }
  ASSERT_NE(about, 0u) << "no German About box";
  Xdotool("windowfocus --sync " + std::to_string(about) + " key Return");
  ASSERT_TRUE(WaitUntil([] { return FindWindow("^Über tobrin$") == 0; }, ScaledMs(30000)));
  Focus();
  Key("F1");
  EXPECT_NE(FindWindow("^Tobrin-Hilfe: Übersicht über Tobrin$", ScaledMs(30000)), 0u)
      << "F1 did not open the German book";
}

}  // namespace
