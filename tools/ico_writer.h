// Windows icon files (.ico) from RGBA images, for the Windows build's resources.
#pragma once

#include <string>
#include <vector>

#include "tools/png_io.h"

// How an image is stored in the icon file.
enum class IcoDepth {
  kColour,      // 32-bit BGRA with its 1-bit AND mask
  kMonochrome,  // 1 bit per pixel, colour table black and white, with its AND mask
};

struct IcoEntry {
  const RgbaImage* image;
  IcoDepth depth;
};

// Pixels whose alpha is below this are transparent in the AND mask (and in the monochrome form).
constexpr int kIcoOpaqueAlpha = 128;
// Opaque pixels at least this light (Rec. 601 luma, 0..255) are white in the monochrome form.
constexpr int kIcoWhiteLuma = 128;

// The icon file's bytes, one entry per image in the given order. Throws std::invalid_argument
// for an image that is empty, larger than 256 pixels a side, or whose pixels do not fill it.
std::vector<unsigned char> EncodeIco(const std::vector<IcoEntry>& entries);

// The application's icon: 32×32 colour, 16×16 colour, and 32×32 monochrome drawn from the 32×32
// image, the forms Windows picks from for the window, the taskbar and low-colour displays.
std::vector<unsigned char> EncodeAppIco(const RgbaImage& icon32, const RgbaImage& icon16);

// Writes `bytes` to `path`; returns false with *error set on failure.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string* error);
