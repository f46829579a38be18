// The logical palette for displays whose pixel format has indexed colour.
//
// True-colour formats need none; a format that asks for a palette gets one entry per colour
// index, each component spread evenly over 0..255 from the bits that index holds for it.
#pragma once

#include <vector>

// Flags of a described pixel format, with the values of the Windows pixel-format descriptor.
// Where <windows.h> came first, its macros of the same names and values stand for them.
#ifndef PFD_DOUBLEBUFFER
inline constexpr unsigned int PFD_DOUBLEBUFFER = 0x1;
inline constexpr unsigned int PFD_DRAW_TO_WINDOW = 0x4;
inline constexpr unsigned int PFD_SUPPORT_OPENGL = 0x20;
inline constexpr unsigned int PFD_NEED_PALETTE = 0x80;
#endif

// What the palette rule reads of the pixel format that was chosen.
struct PixelFormatDescription {
  unsigned int flags = 0;
  int colourBits = 0;
  int redBits = 0, redShift = 0;
  int greenBits = 0, greenShift = 0;
  int blueBits = 0, blueShift = 0;
};

struct PaletteEntry {
  unsigned char red, green, blue, flags;
};

inline constexpr unsigned short PALETTE_VERSION = 0x300;

// True when the format's flags ask for a palette.
bool NeedsPalette(const PixelFormatDescription& format);

// The palette for a format: empty when it needs none. Otherwise 2^colourBits entries; entry i
// has, per component with b bits at shift s and mask m = 2^b - 1 (kept to 8 bits),
// ((i >> s) & m) * 255 / m in integer arithmetic, and flags 0. A component of 0 bits, or one
// shifted past the index, is 0 in every entry rather than a division by zero. Formats of more
// than 16 colour bits have no palette form and get none.
std::vector<PaletteEntry> BuildLogicalPalette(const PixelFormatDescription& format);
