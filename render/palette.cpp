#include "render/palette.h"

namespace {

struct Component {
  unsigned int mask;  // 2^bits - 1, held in 8 bits
  int shift;
};

Component MakeComponent(int bits, int shift) {
  const unsigned int mask = bits <= 0 ? 0u : bits >= 8 ? 0xFFu : ((1u << bits) - 1u);
  return {mask, shift};
}

unsigned char Level(unsigned int index, const Component& c) {
  if (c.mask == 0 || c.shift < 0 || c.shift >= 32) return 0;
  return static_cast<unsigned char>(((index >> c.shift) & c.mask) * 255u / c.mask);
}

}  // namespace

bool NeedsPalette(const PixelFormatDescription& format) {
  return (format.flags & PFD_NEED_PALETTE) != 0;
}

std::vector<PaletteEntry> BuildLogicalPalette(const PixelFormatDescription& format) {
  std::vector<PaletteEntry> palette;
  if (!NeedsPalette(format) || format.colourBits < 1 || format.colourBits > 16) return palette;
  const Component red = MakeComponent(format.redBits, format.redShift);
  const Component green = MakeComponent(format.greenBits, format.greenShift);
  const Component blue = MakeComponent(format.blueBits, format.blueShift);
  const unsigned int count = 1u << format.colourBits;
  palette.reserve(count);
  for (unsigned int i = 0; i < count; ++i) {
    palette.push_back({Level(i, red), Level(i, green), Level(i, blue), 0});
  }
  return palette;
}
