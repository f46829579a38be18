#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "render/palette.h"

namespace {

using ::testing::Each;
using ::testing::Field;

PixelFormatDescription Indexed332() {
  PixelFormatDescription f;
  f.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_NEED_PALETTE;
  f.colourBits = 8;
  f.redBits = 3, f.redShift = 0;
  f.greenBits = 3, f.greenShift = 3;
  f.blueBits = 2, f.blueShift = 6;
  return f;
}

TEST(Palette, TrueColourNeedsNone) {
  PixelFormatDescription f;
  f.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  f.colourBits = 24;
  f.redBits = f.greenBits = f.blueBits = 8;
  f.redShift = 16, f.greenShift = 8, f.blueShift = 0;
  EXPECT_FALSE(NeedsPalette(f));
  EXPECT_TRUE(BuildLogicalPalette(f).empty());
}

TEST(Palette, ThreeThreeTwoSpreadsEachComponentOverItsLevels) {
  const std::vector<PaletteEntry> palette = BuildLogicalPalette(Indexed332());
  ASSERT_EQ(palette.size(), 256u);
  std::set<int> reds, greens, blues;
  for (const PaletteEntry& e : palette) {
    reds.insert(e.red);
    greens.insert(e.green);
    blues.insert(e.blue);
    EXPECT_EQ(e.flags, 0);
  }
  const std::set<int> eight = {0, 36, 72, 109, 145, 182, 218, 255};
  EXPECT_EQ(reds, eight);
  EXPECT_EQ(greens, eight);
  EXPECT_EQ(blues, (std::set<int>{0, 85, 170, 255}));
  // Entry i takes red from bits 0-2, green from 3-5, blue from 6-7.
  const PaletteEntry e = palette[0b10'011'101];
  EXPECT_EQ(e.red, 182);    // 5 x 255 / 7
  EXPECT_EQ(e.green, 109);  // 3 x 255 / 7
  EXPECT_EQ(e.blue, 170);   // 2 x 255 / 3
}

TEST(Palette, AComponentWithoutBitsIsZeroInsteadOfADivisionByZero) {
  PixelFormatDescription f = Indexed332();
  f.blueBits = 0;
  const std::vector<PaletteEntry> palette = BuildLogicalPalette(f);
  ASSERT_EQ(palette.size(), 256u);
  EXPECT_THAT(palette, Each(Field(&PaletteEntry::blue, 0)));
  EXPECT_EQ(palette[7].red, 255);
}

TEST(Palette, UnrepresentableFormatsGetNone) {
  PixelFormatDescription f = Indexed332();
  f.colourBits = 0;
  EXPECT_TRUE(BuildLogicalPalette(f).empty());
  f.colourBits = 24;
  EXPECT_TRUE(BuildLogicalPalette(f).empty());
  f = Indexed332();
  f.redShift = 40;  // past any index: zero, not undefined behaviour
  const std::vector<PaletteEntry> shiftedAway = BuildLogicalPalette(f);
  ASSERT_EQ(shiftedAway.size(), 256u);
  EXPECT_THAT(shiftedAway, Each(Field(&PaletteEntry::red, 0)));
}

}  // namespace
