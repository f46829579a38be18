// The Windows build's resources in res/windows: the icon, which must stay what the PNG icons
// make, and the installer and resource script, which must carry the whole help book and the
// project's version.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/ico_writer.h"
#include "tools/png_io.h"
#include "tools/temp_dir.h"

namespace {

using namespace tobrin_test;

const std::string kSourceDir = TOBRIN_SOURCE_DIR;
const std::string kWindowsDir = kSourceDir + "/res/windows";
const std::string kIcon = kWindowsDir + "/tobrin.ico";
const std::string kPng32 = kSourceDir + "/res/icons/hicolor/32x32/apps/tobrin.png";
const std::string kPng16 = kSourceDir + "/res/icons/hicolor/16x16/apps/tobrin.png";

std::vector<unsigned char> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

RgbaImage LoadPng(const std::string& path) {
  RgbaImage image;
  std::string error;
  if (!ReadPng(path, &image, &error)) throw std::runtime_error(error);
  return image;
}

// One image of an .ico file, read back as Windows would read it.
struct ReadEntry {
  int width = 0;  // from the directory entry
  int height = 0;
  int colourCount = 0;
  int bitCount = 0;
  int headerWidth = 0;  // from the bitmap's header
  int headerHeight = 0;
  int headerBitCount = 0;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  std::vector<std::uint32_t> colourTable;  // 0x00RRGGBB
  std::vector<unsigned char> rgba;         // top row first: BGRA data, or the table's colours
  std::vector<bool> transparent;           // the AND mask, top row first
};

class IcoReader {
 public:
  explicit IcoReader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

  std::vector<ReadEntry> Entries() const {
    if (U16(0) != 0 || U16(2) != 1) throw std::runtime_error("not an icon file");
    std::vector<ReadEntry> entries(U16(4));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::size_t at = 6 + 16 * i;
      ReadEntry& e = entries[i];
      e.width = Byte(at) == 0 ? 256 : Byte(at);
      e.height = Byte(at + 1) == 0 ? 256 : Byte(at + 1);
      e.colourCount = Byte(at + 2);
      if (U16(at + 4) != 1) throw std::runtime_error("entry planes is not 1");
      e.bitCount = U16(at + 6);
      e.size = U32(at + 8);
      e.offset = U32(at + 12);
      if (std::size_t{e.offset} + e.size > bytes_.size())
        throw std::runtime_error("entry runs past the end of the file");
      ReadBitmap(&e);
    }
    return entries;
  }

 private:
  void ReadBitmap(ReadEntry* e) const {
    const std::size_t h = e->offset;
    if (U32(h) != 40) throw std::runtime_error("bitmap header is not a BITMAPINFOHEADER");
    e->headerWidth = static_cast<int>(U32(h + 4));
    e->headerHeight = static_cast<int>(U32(h + 8));
    e->headerBitCount = U16(h + 14);
    if (U32(h + 16) != 0) throw std::runtime_error("bitmap is compressed");
    const int w = e->headerWidth;
    const int rows = e->headerHeight / 2;
    const std::size_t maskStride = (w + 31) / 32 * 4;
    std::size_t data = h + 40;
    if (e->headerBitCount == 1) {
      for (int i = 0; i < 2; ++i)
        e->colourTable.push_back(U32(data + 4 * i) & 0xffffff);
      data += 8;
    } else if (e->headerBitCount != 32) {
      throw std::runtime_error("unexpected bit count");
    }
    const std::size_t xorSize =
        e->headerBitCount == 32 ? std::size_t{4} * w * rows : maskStride * rows;
    if (data + xorSize + maskStride * rows > e->offset + e->size)
      throw std::runtime_error("bitmap is larger than its entry");
    e->rgba.resize(std::size_t{4} * w * rows);
    e->transparent.resize(std::size_t{1} * w * rows);
    for (int y = 0; y < rows; ++y) {
      const int stored = rows - 1 - y;  // bitmaps are stored bottom row first
      for (int x = 0; x < w; ++x) {
        unsigned char* out = &e->rgba[(std::size_t{1} * y * w + x) * 4];
        if (e->headerBitCount == 32) {
          const std::size_t p = data + (std::size_t{1} * stored * w + x) * 4;
          out[0] = Byte(p + 2), out[1] = Byte(p + 1), out[2] = Byte(p), out[3] = Byte(p + 3);
        } else {
          const std::uint32_t c = e->colourTable[Bit(data + stored * maskStride, x)];
          out[0] = c >> 16 & 0xff, out[1] = c >> 8 & 0xff, out[2] = c & 0xff, out[3] = 255;
        }
        e->transparent[std::size_t{1} * y * w + x] =
            Bit(data + xorSize + stored * maskStride, x) != 0;
      }
    }
  }

  unsigned Byte(std::size_t at) const {
    if (at >= bytes_.size()) throw std::runtime_error("read past the end of the file");
    return bytes_[at];
  }
  unsigned U16(std::size_t at) const { return Byte(at) | Byte(at + 1) << 8; }
  std::uint32_t U32(std::size_t at) const { return U16(at) | std::uint32_t{U16(at + 2)} << 16; }
  unsigned Bit(std::size_t row, int x) const { return Byte(row + x / 8) >> (7 - x % 8) & 1; }

  std::vector<unsigned char> bytes_;
};

std::vector<ReadEntry> ReadIco(const std::string& path) {
  return IcoReader(Bytes(ReadFile(path))).Entries();
}

TEST(WindowsIcon, IsExactlyWhatThePngIconsMake) {
  const std::vector<unsigned char> made = EncodeAppIco(LoadPng(kPng32), LoadPng(kPng16));
  EXPECT_TRUE(made == Bytes(ReadFile(kIcon)))
      << "res/windows/tobrin.ico is not what the PNG icons make; regenerate it with\n"
         "  tobrin-make-ico res/windows/tobrin.ico "
         "res/icons/hicolor/32x32/apps/tobrin.png "
         "res/icons/hicolor/16x16/apps/tobrin.png";
}

TEST(WindowsIcon, ToolWritesTheSameFileAndRefusesIconsOfTheWrongSize) {
  TempDir dir;
  const std::string tool = TOBRIN_MAKE_ICO;
  const std::string out = dir / "out.ico";
  ASSERT_EQ(std::system((tool + " " + out + " " + kPng32 + " " + kPng16).c_str()), 0);
  EXPECT_TRUE(ReadFile(out) == ReadFile(kIcon));

  const std::string swapped = dir / "swapped.ico";
  EXPECT_NE(
      std::system((tool + " " + swapped + " " + kPng16 + " " + kPng32 + " 2>/dev/null").c_str()),
      0);
  EXPECT_FALSE(std::filesystem::exists(swapped));
  EXPECT_NE(std::system((tool + " " + swapped + " " + kPng32 + " 2>/dev/null").c_str()), 0);
}

TEST(WindowsIcon, HoldsTwoColourFormsAndAMonochromeOne) {
  const auto entries = ReadIco(kIcon);
  ASSERT_EQ(entries.size(), 3u);
  const struct { int size, bits, colours; } expected[] = {{32, 32, 0}, {16, 32, 0}, {32, 1, 2}};
  std::uint32_t end = 6 + 16 * 3;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    const ReadEntry& e = entries[i];
    EXPECT_EQ(e.width, expected[i].size);
    EXPECT_EQ(e.height, expected[i].size);
    EXPECT_EQ(e.bitCount, expected[i].bits);
    EXPECT_EQ(e.colourCount, expected[i].colours);
    EXPECT_EQ(e.headerWidth, e.width);
    EXPECT_EQ(e.headerHeight, 2 * e.height);  // colour and mask bitmaps, one above the other
    EXPECT_EQ(e.headerBitCount, e.bitCount);
    EXPECT_EQ(e.offset, end) << "images must follow each other without gaps or overlaps";
    end = e.offset + e.size;
  }
  EXPECT_EQ(end, ReadFile(kIcon).size());
}

TEST(WindowsIcon, ColourFormsCarryThePngPixelsAndTheirMask) {
  const auto entries = ReadIco(kIcon);
  ASSERT_EQ(entries.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    const RgbaImage png = LoadPng(i == 0 ? kPng32 : kPng16);
    const ReadEntry& e = entries[i];
    ASSERT_EQ(e.rgba.size(), png.pixels.size());
    int opaque = 0;
    for (std::size_t p = 0; p < e.transparent.size(); ++p) {
      const unsigned char* want = &png.pixels[p * 4];
      const unsigned char* got = &e.rgba[p * 4];
      EXPECT_EQ(e.transparent[p], want[3] < 128) << "mask at pixel " << p << " of entry " << i;
      if (want[3] >= 128) {
        ++opaque;
        EXPECT_TRUE(std::equal(want, want + 4, got)) << "pixel " << p << " of entry " << i;
      }
    }
    EXPECT_GT(opaque, 0) << "entry " << i;
  }
}

TEST(WindowsIcon, MonochromeFormShowsTheFigureOnWhite) {
  const auto entries = ReadIco(kIcon);
  ASSERT_EQ(entries.size(), 3u);
  const ReadEntry& mono = entries[2];
  EXPECT_EQ(mono.colourTable, (std::vector<std::uint32_t>{0x000000, 0xffffff}));
  const RgbaImage png = LoadPng(kPng32);
  int black = 0;
  int white = 0;
  for (std::size_t p = 0; p < mono.transparent.size(); ++p) {
    EXPECT_EQ(mono.transparent[p], png.pixels[p * 4 + 3] < 128) << "pixel " << p;
    // On a white screen: the figure's pixels where the mask keeps them, the screen elsewhere.
    const bool showsBlack = !mono.transparent[p] && mono.rgba[p * 4] == 0;
    ++(showsBlack ? black : white);
  }
  // The icon is a black figure: about a fifth of the square is drawn.
  EXPECT_GT(black, 32 * 32 / 10);
  EXPECT_GT(white, 32 * 32 / 2);
}

// A 13×3 image: rows that differ, and a width that fills neither a byte nor a mask word.
// Each letter is a pixel: W white, K black, G grey just below the white threshold (luma 127),
// L grey at it (128), g green, b blue, r red, t white with alpha 127, o black with alpha 128.
RgbaImage Sample() {
  const char* rows[] = {"WKWKWKWKWKWKW", "GLgbrtoWWWWWK", "KKKKKKKKKKKKW"};
  RgbaImage image;
  image.width = 13;
  image.height = 3;
  const std::map<char, std::array<unsigned char, 4>> colours = {
      {'W', {255, 255, 255, 255}}, {'K', {0, 0, 0, 255}},       {'G', {127, 127, 127, 255}},
      {'L', {128, 128, 128, 255}}, {'g', {0, 255, 0, 255}},     {'b', {0, 0, 255, 255}},
      {'r', {255, 0, 0, 255}},     {'t', {255, 255, 255, 127}}, {'o', {0, 0, 0, 128}}};
  for (const char* row : rows) {
    for (const char* c = row; *c != '\0'; ++c) {
      const auto& rgba = colours.at(*c);
      image.pixels.insert(image.pixels.end(), rgba.begin(), rgba.end());
    }
  }
  return image;
}

TEST(IcoWriter, WritesBitsInRowAndPixelOrderWithPaddedRows) {
  const RgbaImage sample = Sample();
  const auto entries =
      IcoReader(EncodeIco({{&sample, IcoDepth::kColour}, {&sample, IcoDepth::kMonochrome}}))
          .Entries();
  ASSERT_EQ(entries.size(), 2u);

  const ReadEntry& colour = entries[0];
  EXPECT_EQ(colour.rgba, sample.pixels);
  const ReadEntry& mono = entries[1];
  // What the monochrome form shows: W white, K black, . transparent.
  const std::string want =
      "WKWKWKWKWKWKW"
      "KWWKK.KWWWWWK"
      "KKKKKKKKKKKKW";
  for (std::size_t p = 0; p < want.size(); ++p) {
    const char got = mono.transparent[p] ? '.' : mono.rgba[p * 4] == 255 ? 'W' : 'K';
    EXPECT_EQ(got, want[p]) << "monochrome pixel " << p % 13 << "," << p / 13;
    EXPECT_EQ(colour.transparent[p], want[p] == '.') << "colour mask " << p % 13 << "," << p / 13;
  }
}

TEST(IcoWriter, RefusesImagesAnIconCannotHold) {
  RgbaImage empty;
  RgbaImage wide;
  wide.width = 257;
  wide.height = 1;
  wide.pixels.resize(257 * 4);
  RgbaImage short_pixels = Sample();
  short_pixels.pixels.pop_back();
  for (const RgbaImage* bad : {&empty, &wide, &short_pixels})
    EXPECT_THROW(EncodeIco({{bad, IcoDepth::kColour}}), std::invalid_argument);
  EXPECT_THROW(EncodeIco({}), std::invalid_argument);

  RgbaImage largest;
  largest.width = largest.height = 256;
  largest.pixels.resize(256 * 256 * 4);
  const auto entries = IcoReader(EncodeIco({{&largest, IcoDepth::kColour}})).Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].width, 256);  // written as 0 in the directory
  EXPECT_EQ(entries[0].headerWidth, 256);
}

// The names of the help files that the installer takes from HelpDir, each checked to install
// under its own name.
std::vector<std::string> InstallerHelpFiles(const std::string& wxs) {
  static const std::regex file(R"(<File\s[^>]*>)");
  static const std::regex name(R"(\sName="([^"]*)\")");
  static const std::regex source(R"(\sSource="\$\(var\.HelpDir\)/([^"]*)\")");
  std::vector<std::string> names;
  for (std::sregex_iterator it(wxs.begin(), wxs.end(), file), end; it != end; ++it) {
    const std::string element = it->str();
    std::smatch n;
    std::smatch s;
    if (!std::regex_search(element, s, source)) continue;
    EXPECT_TRUE(std::regex_search(element, n, name) && n[1] == s[1]) << element;
    names.push_back(s[1]);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WindowsInstaller, InstallsExactlyTheFilesOfTheHelpBook) {
  std::vector<std::string> helpBook;
  for (const auto& entry : std::filesystem::directory_iterator(kSourceDir + "/res/help"))
    helpBook.push_back(entry.path().filename().string());
  std::sort(helpBook.begin(), helpBook.end());
  ASSERT_FALSE(helpBook.empty());
  EXPECT_EQ(InstallerHelpFiles(ReadFile(kWindowsDir + "/tobrin.wxs")), helpBook)
      << "res/windows/tobrin.wxs must list every file of res/help, and nothing else";
}

// wixl builds a component that no feature names without a word, and installs nothing of it.
TEST(WindowsInstaller, InstallsEveryComponent) {
  const std::string wxs = ReadFile(kWindowsDir + "/tobrin.wxs");
  static const std::regex component(R"(<Component\s+Id="([^"]*)\")");
  int components = 0;
  for (std::sregex_iterator it(wxs.begin(), wxs.end(), component), end; it != end; ++it) {
    ++components;
    const std::string ref = "<ComponentRef Id=\"" + (*it)[1].str() + "\"/>";
    EXPECT_NE(wxs.find(ref), std::string::npos) << "no " << ref;
  }
  EXPECT_GE(components, 12);  // the program, ten help files and the shortcut
}

TEST(WindowsResources, CarryTheProjectVersion) {
  const std::string version = TOBRIN_VERSION;  // CMake's project version
  std::string commas = version;
  std::replace(commas.begin(), commas.end(), '.', ',');
  const std::string rc = ReadFile(kWindowsDir + "/tobrin.rc");
  EXPECT_NE(rc.find("#define TOBRIN_VERSION " + commas + "\n"), std::string::npos);
  EXPECT_NE(rc.find("#define TOBRIN_VERSION_STRING \"" + version + "\"\n"), std::string::npos);
  EXPECT_NE(ReadFile(kWindowsDir + "/tobrin.exe.manifest")
                .find("name=\"Tobrin\" version=\"" + version + "\""),
            std::string::npos);
  EXPECT_NE(ReadFile(kWindowsDir + "/tobrin.wxs").find(" Version=\"" + version + "\""),
            std::string::npos);
}

}  // namespace
