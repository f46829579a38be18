// Hand-written: an .ico is a short directory over plain Windows bitmaps, and no installed library
// writes the 1-bit form with the threshold chosen here.
#include "tools/ico_writer.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER

void Put16(std::vector<unsigned char>* out, unsigned value) {
  out->push_back(static_cast<unsigned char>(value & 0xff));
  out->push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void Put32(std::vector<unsigned char>* out, std::uint32_t value) {
  Put16(out, value & 0xffff);
  Put16(out, value >> 16);
}

// Bytes in one row of a 1-bit bitmap: rows are padded to whole 32-bit words.
std::size_t MaskStride(int width) {
  return static_cast<std::size_t>((width + 31) / 32) * 4;
}

const unsigned char* PixelAt(const RgbaImage& image, int x, int y) {
  return &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

bool Opaque(const unsigned char* rgba) {
  return rgba[3] >= kIcoOpaqueAlpha;
}

bool White(const unsigned char* rgba) {
  return (299 * rgba[0] + 587 * rgba[1] + 114 * rgba[2]) / 1000 >= kIcoWhiteLuma;
}

// A 1-bit bitmap, bottom row first as in every Windows bitmap, leftmost pixel in the high bit.
template <typename Bit>
void PutBits(std::vector<unsigned char>* out, const RgbaImage& image, Bit bit) {
  const std::size_t stride = MaskStride(image.width);
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<unsigned char> row(stride, 0);
    for (int x = 0; x < image.width; ++x) {
      if (bit(PixelAt(image, x, y))) row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
    out->insert(out->end(), row.begin(), row.end());
  }
}

std::size_t ImageSize(const IcoEntry& entry) {
  const RgbaImage& image = *entry.image;
  const std::size_t mask = MaskStride(image.width) * image.height;
  const std::size_t colour = entry.depth == IcoDepth::kColour
                                 ? static_cast<std::size_t>(image.width) * image.height * 4
                                 : mask;
  return colour + mask;
}

std::size_t ResourceSize(const IcoEntry& entry) {
  const std::size_t colourTable = entry.depth == IcoDepth::kMonochrome ? 2 * 4 : 0;
  return kInfoHeaderSize + colourTable + ImageSize(entry);
}

void Check(const RgbaImage* image) {
  if (image == nullptr || image->width < 1 || image->height < 1)
    throw std::invalid_argument("icon image is empty");
  if (image->width > 256 || image->height > 256)
    throw std::invalid_argument("icon image is larger than 256 pixels a side");
  if (image->pixels.size() != static_cast<std::size_t>(image->width) * image->height * 4)
    throw std::invalid_argument("icon image's pixels do not match its size");
}

void PutResource(std::vector<unsigned char>* out, const IcoEntry& entry) {
  const RgbaImage& image = *entry.image;
  const bool mono = entry.depth == IcoDepth::kMonochrome;
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(image.width));
  // An icon's bitmap is as high as its colour and mask bitmaps together.
  Put32(out, static_cast<std::uint32_t>(image.height * 2));
  Put16(out, 1);              // planes
  Put16(out, mono ? 1 : 32);  // bits per pixel
  Put32(out, 0);              // uncompressed
  Put32(out, static_cast<std::uint32_t>(ImageSize(entry)));
  for (int i = 0; i < 4; ++i)
    Put32(out, 0);  // resolution and colour counts: defaults

  if (mono) {
    Put32(out, 0x00000000);  // index 0: black
    Put32(out, 0x00ffffff);  // index 1: white
    // Transparent pixels are 0 here and 1 in the mask, which leaves the screen as it is.
    PutBits(out, image, [](const unsigned char* p) { return Opaque(p) && White(p); });
  } else {
    for (int y = image.height - 1; y >= 0; --y) {
      for (int x = 0; x < image.width; ++x) {
        const unsigned char* p = PixelAt(image, x, y);
        out->insert(out->end(), {p[2], p[1], p[0], p[3]});
      }
    }
  }
  PutBits(out, image, [](const unsigned char* p) { return !Opaque(p); });
}

}  // namespace

std::vector<unsigned char> EncodeIco(const std::vector<IcoEntry>& entries) {
  if (entries.empty() || entries.size() > 0xffff)
    throw std::invalid_argument("an icon holds 1 to 65535 images");
  for (const IcoEntry& entry : entries)
    Check(entry.image);

  std::vector<unsigned char> out;
  Put16(&out, 0);  // reserved
  Put16(&out, 1);  // an icon, not a cursor
  Put16(&out, static_cast<unsigned>(entries.size()));
  std::size_t offset = kDirectorySize + kEntrySize * entries.size();
  for (const IcoEntry& entry : entries) {
    const bool mono = entry.depth == IcoDepth::kMonochrome;
    // 256 is written as 0.
    out.push_back(static_cast<unsigned char>(entry.image->width & 0xff));
    out.push_back(static_cast<unsigned char>(entry.image->height & 0xff));
    out.push_back(mono ? 2 : 0);  // colours in the table; 0 when there is none
    out.push_back(0);
    Put16(&out, 1);
    Put16(&out, mono ? 1 : 32);
    Put32(&out, static_cast<std::uint32_t>(ResourceSize(entry)));
    Put32(&out, static_cast<std::uint32_t>(offset));
    offset += ResourceSize(entry);
  }
  for (const IcoEntry& entry : entries)
    PutResource(&out, entry);
  return out;
}

std::vector<unsigned char> EncodeAppIco(const RgbaImage& icon32, const RgbaImage& icon16) {
  return EncodeIco({{&icon32, IcoDepth::kColour},
                    {&icon16, IcoDepth::kColour},
                    {&icon32, IcoDepth::kMonochrome}});
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (out) return true;
  if (error != nullptr) *error = path + ": cannot write the file";
  return false;
}
