// One whole session of the real program, run by the memcheck test with tobrin under valgrind:
// start, pick and bend a part in Joints mode, turn the figure with the arcball, open and close a
// menu, open and close the About box, quit through the menu. Each step waits for its effect on
// the screen, so that every handler has run before the program is told to quit.
#include <gtest/gtest.h>

#include "tests/support/tobrin_fixture.h"

namespace {

using namespace tobrin_test;

class Session : public TobrinFixture {
 protected:
  // Pixels (sampled every 4th in each direction) of the drawing area that differ from `before`.
  long CanvasChange(const RgbaImage& before, const RgbaImage& now) {
    const auto changed = [&](int x, int y, const Rgb& b) {
      const Rgb a = PixelAt(before, x, y);
      return a.r != b.r || a.g != b.g || a.b != b.b;
    };
    return CountPixels(now, 0, canvasTop_, canvasWidth_, canvasTop_ + canvasHeight_, changed, 4);
  }
};

TEST_F(Session, PickBendTurnMenuAboutAndQuit) {
  Start();
  ASSERT_FALSE(HasFatalFailure());

  ASSERT_TRUE(EnterJointsMode());
  const Point forearm = PartOnScreen("LeftForearm");
  Click(forearm);
  ASSERT_TRUE(WaitForRed(forearm, true, "session-picked"));
  Drag(forearm, {forearm.x, forearm.y - 120}, 3);
  ASSERT_TRUE(WaitForRed(forearm, false, "session-bent"));

  Key("alt+m o");
  const RgbaImage before = Shot();
  const Point centre = {canvasWidth_ / 2, canvasTop_ + canvasHeight_ / 2};
  Drag({centre.x - 30, centre.y}, {centre.x + 50, centre.y + 20}, 1);
  const auto turned = [&](const RgbaImage& s) { return CanvasChange(before, s) > 100; };
  ASSERT_TRUE(WaitFor("session-turned", turned));

  // The Mode menu drops over the top left of the drawing area, which is black without it.
  const auto underMenu = [&](const RgbaImage& s) { return PixelAt(s, 160, canvasTop_ + 62).r; };
  Key("alt+m");
  ASSERT_TRUE(WaitFor("session-menu-open", [&](auto& s) { return underMenu(s) > 150; }));
  Key("Escape");
  ASSERT_TRUE(WaitFor("session-menu-closed", [&](auto& s) { return underMenu(s) == 0; }));

  Key("alt+h a");
  const auto about = [](const RgbaImage&) { return FindWindow("^About tobrin") != 0; };
  ASSERT_TRUE(WaitFor("session-about", about));
  Xdotool("windowfocus --sync " + std::to_string(FindWindow("^About tobrin$")) + " key Escape");
  ASSERT_TRUE(WaitFor("session-about-closed", [&](auto& s) { return !about(s); }));

  QuitByMenu();
}

}  // namespace
