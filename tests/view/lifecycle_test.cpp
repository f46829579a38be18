// The view's start values, creation, teardown, size, drawing and palette events.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/image_compare.h"
#include "tests/support/view_fixture.h"

namespace {

using namespace tobrin_test;

TEST(ViewConstants, HaveTheirDesignValues) {
  EXPECT_EQ(POSITION_STEP, 0.02);
  EXPECT_EQ(ARCBALL_RADIUS_FACTOR, 0.5);
  EXPECT_EQ(ARCBALL_ANGLE_SCALE, 114.59493872353971);
  EXPECT_EQ((std::array<int, 3>{MODE_POSITION, MODE_ORIENTATION, MODE_JOINTS}),
            (std::array<int, 3>{1, 2, 3}));
  EXPECT_EQ((std::array<int, 3>{DRAG_NONE, DRAG_LEFT, DRAG_RIGHT}), (std::array<int, 3>{0, 1, 2}));
}

class FreshView : public GLTest {};

TEST_F(FreshView, StartsInOrientationModeWithNothingDraggedOrMoved) {
  HostLog log;
  HeadlessViewHost host(&gl(), log);
  CTobrinView view(host);
  EXPECT_EQ(view.m_nMode, MODE_ORIENTATION);
  EXPECT_EQ(view.m_nDragButton, DRAG_NONE);
  EXPECT_FALSE(view.m_bArcballVisible);
  EXPECT_EQ((Vec3{view.m_dPosX, view.m_dPosY, view.m_dPosZ}), (Vec3{0, 0, 0}));
  EXPECT_EQ(view.m_dAnchor, (std::array<double, 3>{0, 0, 1}));
  EXPECT_EQ(view.m_pRoot, nullptr);
  EXPECT_EQ(view.m_hPalette, nullptr);
  ASSERT_NE(view.m_pQuadric, nullptr);
  EXPECT_EQ(view.m_camera.eye[2], 10.0);
  EXPECT_EQ(view.m_camera.up[1], 1.0);

  ASSERT_EQ(view.OnCreate(), 0);
  ASSERT_NE(view.m_pRoot, nullptr);
  EXPECT_TRUE(glIsList(CUBE_LIST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  // Until a projection succeeds the arcball centre is the middle of the area.
  view.OnSize(480, 300);
  EXPECT_EQ(view.m_fCentreX, 240.0f);
  EXPECT_EQ(view.m_fCentreY, 150.0f);
  EXPECT_EQ(log.repaints, 0);
}

TEST_F(FreshView, TeardownDeletesTheCubeListWhileItsContextIsCurrentAndTheContextLast) {
  HostLog log;
  {
    HeadlessViewHost host(&gl(), log);
    log.realizeResults = {0};
    host.format.flags |= PFD_NEED_PALETTE;
    host.format.colourBits = 8;
    host.format.redBits = host.format.greenBits = 3;
    host.format.blueBits = 2;
    CTobrinView view(host);
    ASSERT_EQ(view.OnCreate(), 0);
  }
  EXPECT_TRUE(log.contextReleased);
  EXPECT_TRUE(log.paletteDeleted);
  EXPECT_FALSE(log.cubeListAliveAtContextRelease);
}

TEST_F(FreshView, WithoutUsableOpenGLCreationFailsAndEveryHandlerIsHarmless) {
  HostLog log;
  HeadlessViewHost host(nullptr, log);
  CTobrinView view(host);
  EXPECT_EQ(view.OnCreate(), -1);
  EXPECT_FALSE(view.IsCreated());
  view.OnSize(400, 300);
  view.OnDraw();
  for (int mode : {MODE_POSITION, MODE_ORIENTATION, MODE_JOINTS}) {
    view.m_nMode = mode;
    view.OnLButtonDown(10, 10);
    view.OnMouseMove(50, 60);
    RightDrag(view, 10, 10, 30, 90);
  }
  view.OnFileReset();
  view.OnFileResetJoints();
  EXPECT_EQ(view.OnQueryNewPalette(), 0);
  EXPECT_EQ(log.swaps, 0);
}

class View : public ViewTest {};

TEST_F(View, SizeGivesWidthHeightAndAspectAndAnEmptyAreaKeepsItFinite) {
  view->OnSize(300, 400);
  EXPECT_EQ(view->m_nWidth, 300);
  EXPECT_EQ(view->m_nHeight, 400);
  EXPECT_EQ(view->m_dAspect, 0.75);
  view->OnSize(800, 400);
  EXPECT_EQ(view->m_dAspect, 2.0);
  view->OnSize(800, 0);
  EXPECT_TRUE(std::isfinite(view->m_dAspect));
  view->OnSize(0, 0);
  EXPECT_TRUE(std::isfinite(view->m_dAspect));
  EXPECT_EQ(log.repaints, 0);  // a size change repaints through the window, not the view
}

TEST_F(View, EachPaintDrawsOneFrameAndSwapsAndAnEmptyAreaNeither) {
  view->OnDraw();
  EXPECT_EQ(log.swaps, 1);
  const RgbaImage image{400, 300, gl().ReadPixels()};
  EXPECT_TRUE(MatchesBaseline("figure_400x300", image));
  view->OnSize(0, 300);
  view->OnDraw();
  EXPECT_EQ(log.swaps, 1);
  EXPECT_NO_GL_ERROR();
}

TEST_F(View, TrueColourDisplaysHaveNoPaletteAndIgnorePaletteEvents) {
  EXPECT_EQ(view->m_hPalette, nullptr);
  EXPECT_EQ(view->OnQueryNewPalette(), 0);
  view->OnPaletteChanged(false);
  view->OnPaletteChanged(true);
  EXPECT_EQ(log.paletteRealizes, 0);
  EXPECT_EQ(log.paletteUpdates, 0);
  EXPECT_EQ(log.repaints, 0);
}

TEST_F(View, AnIndexedDisplayGetsAPaletteRealisedAtCreationAndOnItsEvents) {
  HostLog paletteLog;
  paletteLog.realizeResults = {256, 0, 12, 0, 3};
  HeadlessViewHost indexed(&gl(), paletteLog);
  indexed.format.flags |= PFD_NEED_PALETTE;
  indexed.format.colourBits = 8;
  indexed.format.redBits = 3, indexed.format.greenBits = 3, indexed.format.blueBits = 2;
  indexed.format.greenShift = 3, indexed.format.blueShift = 6;
  view.reset();
  CTobrinView v(indexed);
  ASSERT_EQ(v.OnCreate(), 0);
  ASSERT_NE(v.m_hPalette, nullptr);
  EXPECT_EQ(paletteLog.paletteEntries, 256u);
  EXPECT_EQ(paletteLog.paletteRealizes, 1);  // selected and realised at creation

  EXPECT_EQ(v.OnQueryNewPalette(), 0);  // nothing changed: no repaint
  EXPECT_EQ(paletteLog.repaints, 0);
  EXPECT_EQ(v.OnQueryNewPalette(), 12);
  EXPECT_EQ(paletteLog.repaints, 1);

  v.OnPaletteChanged(true);  // caused by this view itself: ignored
  EXPECT_EQ(paletteLog.paletteRealizes, 3);
  v.OnPaletteChanged(false);  // realises, changes nothing: no colour update
  EXPECT_EQ(paletteLog.paletteUpdates, 0);
  v.OnPaletteChanged(false);  // 3 entries changed: the window's colours are remapped
  EXPECT_EQ(paletteLog.paletteUpdates, 1);
  EXPECT_EQ(paletteLog.repaints, 1);  // a palette change asks for no repaint
}

}  // namespace
