// The Windows build's resources in res/windows: the icon, which must stay what the PNG icons
// make, and the installer and resource script, which must carry the whole help book and the
// project's version.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "harness/png_io.h"
#include "harness/process.h"
#include "harness/temp_dir.h"

namespace {

using namespace tobrin_test;

const std::string kSourceDir = TOBRIN_SOURCE_DIR;
const std::string kWindowsDir = kSourceDir + "/res/windows";
const std::string kIcon = kWindowsDir + "/tobrin.ico";
const std::string kPng32 = kSourceDir + "/res/icons/hicolor/32x32/apps/tobrin.png";
const std::string kPng16 = kSourceDir + "/res/icons/hicolor/16x16/apps/tobrin.png";

RgbaImage LoadPng(const std::string& path) {
  RgbaImage image;
  std::string error;
  EXPECT_TRUE(ReadPng(path, &image, &error)) << error;
  return image;
}

// The icon as icotool lists its forms and extracts their pixels: the two colour forms are the
// PNG icons themselves, the monochrome one is their figure in black where the 32 x 32 icon is at
// least half opaque, transparent elsewhere. scripts/windows-icon makes it so.
TEST(WindowsIcon, HoldsTheFormsAndPixelsOfThePngIcons) {
  const Output listed = RunCommand({{"icotool", "-l", kIcon}});
  EXPECT_EQ(listed.text,
            "--icon --index=1 --width=32 --height=32 --bit-depth=32 --palette-size=0\n"
            "--icon --index=2 --width=16 --height=16 --bit-depth=32 --palette-size=0\n"
            "--icon --index=3 --width=32 --height=32 --bit-depth=1 --palette-size=2\n");
  const TempDir dir;
  ASSERT_EQ(RunCommand({{"icotool", "-x", "-o", dir.path(), kIcon}}).status, 0);
  const RgbaImage png32 = LoadPng(kPng32);
  EXPECT_TRUE(LoadPng(dir / "tobrin_1_32x32x32.png").pixels == png32.pixels);
  EXPECT_TRUE(LoadPng(dir / "tobrin_2_16x16x32.png").pixels == LoadPng(kPng16).pixels);
  const RgbaImage mono = LoadPng(dir / "tobrin_3_32x32x1.png");
  ASSERT_EQ(mono.pixels.size(), png32.pixels.size());
  int drawn = 0;
  for (std::size_t p = 0; p < mono.pixels.size(); p += 4) {
    const bool opaque = png32.pixels[p + 3] >= 128;
    drawn += opaque;
    const std::vector<unsigned char> want = {0, 0, 0, static_cast<unsigned char>(opaque ? 255 : 0)};
    EXPECT_TRUE(std::equal(want.begin(), want.end(), &mono.pixels[p])) << "pixel " << p / 4;
  }
  EXPECT_GT(drawn, 32 * 32 / 10);  // a black figure: about a fifth of the square is drawn
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
  EXPECT_GE(components, 2);  // the program and the shortcut
  // The help books' components, which scripts/windows has wixl-heat list.
  EXPECT_NE(wxs.find("<ComponentGroupRef Id=\"HelpBooks\"/>"), std::string::npos);
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
