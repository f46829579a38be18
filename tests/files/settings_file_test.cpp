// The settings file: parsing whatever is on disk, formatting without losing anything, and
// replacing the file atomically.
#include "files/settings_file.h"
#include "files/file_system.h"
#include "files/settings_path.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <tuple>

#include "harness/temp_dir.h"

namespace {

using namespace tobrin_test;
using Files = std::vector<std::string>;
using State = SettingsFileState;
using namespace std::string_literals;
namespace fs = std::filesystem;

// How many entries a folder holds: none but the file itself after an atomic write.
long EntriesIn(const std::string& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// The permission bits of the file that `path` leads to (all bits when there is none).
int Permissions(const std::string& path) {
  return static_cast<int>(fs::status(path).permissions());
}

TEST(ParseSettings, ReadsTheRecentFilesInOrderAndPreviewPages) {
  const Settings s = ParseSettings(
      "[Recent File List]\nFile1=/a/one\nFile2=/b/two words\nFile3=/c\nFile4=/d\n"
      "[Settings]\nPreviewPages=2\n");
  EXPECT_EQ(s.recentFiles, (Files{"/a/one", "/b/two words", "/c", "/d"}));
  EXPECT_EQ(s.previewPages, 2);
}

TEST(ParseSettings, ToleratesWhatOtherWritersAndHandsLeaveBehind) {
  // The text, and the recent files and preview pages read from it.
  const std::tuple<std::string, Files, long> rows[] = {
      {"", {}, 0},
      {"\r\n[recent file list]\r\nfile2=/x\r\nFILE1 = /w \r\n", {"/w", "/x"}, 0},
      // Up to the first missing entry only.
      {"[Recent File List]\nFile1=/a\nFile3=/c\n", {"/a"}, 0},
      {"[Recent File List]\nFile1=\nFile2=/b\n", {}, 0},
      // Keys outside the section, or before any section, are not ours.
      {"File1=/nope\n[Other]\nFile1=/nope\n[Recent File List]\nFile1=/yes\n", {"/yes"}, 0},
      // The first of duplicate keys wins; File5 and beyond are not part of the list.
      {"[Recent File List]\nFile1=/first\nFile1=/second\nFile5=/e\n", {"/first"}, 0},
      {"[Settings]\nPreviewPages=abc\n", {}, 0},
      {"[Settings]\nPreviewPages=99999999999999999999999\n", {}, 0},
      {"[Settings]\npreviewpages=-3\n", {}, -3},
      // Control characters make an entry unusable, and end the list there.
      {"[Recent File List]\nFile1=/ok\nFile2=/bad\x01name\nFile3=/c\n", {"/ok"}, 0},
      {"[Recent File List]\nFile1=/a\nFile2=/a\0b\n"s, {"/a"}, 0},
      {"garbage ] [ = = \xff\xfe\n[\n]\n=\n", {}, 0},
  };
  for (const auto& [text, files, preview] : rows) {
    const Settings s = ParseSettings(text);
    EXPECT_EQ(s.recentFiles, files) << text;
    EXPECT_EQ(s.previewPages, preview) << text;
  }
  const std::string huge = "[Recent File List]\nFile1=/" + std::string(5000, 'x') + "\n";
  EXPECT_TRUE(ParseSettings(huge).recentFiles.empty());
}

TEST(FormatSettings, WritesTheExactSectionAndKeyNames) {
  Settings s{{"/one", "/two"}, 0};
  EXPECT_EQ(FormatSettings("", s), "[Recent File List]\nFile1=/one\nFile2=/two\n");
  s.previewPages = 3;
  EXPECT_EQ(FormatSettings("", s),
            "[Recent File List]\nFile1=/one\nFile2=/two\n[Settings]\nPreviewPages=3\n");
  EXPECT_EQ(FormatSettings("", Settings()), "[Recent File List]\n");
}

TEST(FormatSettings, KeepsEverythingElseInTheFile) {
  const std::string existing =
      "; my notes\n[Window]\nx=5\n[Recent File List]\nFile1=/old1\nKeep=me\nFile2=/old2\n"
      "File4=/old4\n[Settings]\nPreviewPages=7\nOther=1\n[Tail]\nz=9\n";
  Settings s{{"/new"}, 0};
  const std::string out = FormatSettings(existing, s);
  EXPECT_EQ(out,
            "; my notes\n[Window]\nx=5\n[Recent File List]\nKeep=me\nFile1=/new\n"
            "[Settings]\nPreviewPages=7\nOther=1\n[Tail]\nz=9\n");
  // PreviewPages 0 is not written, and an existing value is left alone.
  EXPECT_EQ(ParseSettings(out).previewPages, 7);
  s.previewPages = 4;
  EXPECT_EQ(ParseSettings(FormatSettings(existing, s)).previewPages, 4);
}

TEST(FormatSettings, LeavesOutWhatOneLineCannotHoldAndRoundTrips) {
  Settings s{{"/a", "/line\nbreak", "/b", "/c", "/d", "/e"}, 0};
  EXPECT_EQ(ParseSettings(FormatSettings("", s)).recentFiles, (Files{"/a", "/b", "/c", "/d"}));
  // A blank at either end would be trimmed on reading, naming another file: left out too.
  s.recentFiles = {"/a ", " /b", "/c\t", "/d"};
  EXPECT_EQ(ParseSettings(FormatSettings("", s)).recentFiles, (Files{"/d"}));
}

TEST(SettingsFilePath, FollowsXdgConfigHomeThenHome) {
  // Both variables are put back afterwards, for the tests that run later in this process.
  const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string xdg = savedXdg ? savedXdg : "";
  const char* savedHome = std::getenv("HOME");
  const std::string home = savedHome ? savedHome : "";
  setenv("XDG_CONFIG_HOME", "/cfg/here", 1);
  EXPECT_EQ(SettingsFilePath(), "/cfg/here/tobrin.ini");
  setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/tobrin.ini");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/tobrin.ini");
  if (savedXdg) setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

TEST(ReadSettingsFile, RefusesWhatIsNotASmallRegularFile) {
  TempDir dir;
  std::string text, error;
  EXPECT_EQ(ReadSettingsFile(dir / "missing.ini", &text, &error), State::kMissing);
  EXPECT_EQ(ReadSettingsFile(dir.path(), &text, &error), State::kRefused);  // a folder
  ASSERT_EQ(mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
  // And without blocking.
  EXPECT_EQ(ReadSettingsFile(dir / "pipe.ini", &text, &error), State::kRefused);
  WriteFile(dir / "big.ini", std::string(MAX_SETTINGS_FILE_SIZE + 1, 'x'));
  EXPECT_EQ(ReadSettingsFile(dir / "big.ini", &text, &error), State::kRefused);
  WriteFile(dir / "ok.ini", "[Recent File List]\nFile1=/z\n");
  ASSERT_EQ(ReadSettingsFile(dir / "ok.ini", &text, &error), State::kRead) << error;
  EXPECT_EQ(ParseSettings(text).recentFiles, (Files{"/z"}));
}

TEST(ReadSettingsFile, ReadsAnyTextUpToTheBoundAndNothingBinary) {
  TempDir dir;
  const std::string head = "[Recent File List]\nFile1=/a\n";
  const std::string largest = head + std::string(MAX_SETTINGS_FILE_SIZE - head.size(), ';');
  const std::pair<std::string, State> rows[] = {
      {largest, State::kRead},
      {"[S]\r\nk=\tv\r\nFile1=/caf\xe9.dat \xff\xfe\n", State::kRead},  // paths are bytes
      {"[Recent File List]\nFile1=/a\0b\n"s, State::kRefused},
      {"[S]\nk=\x01\n", State::kRefused},
      {"\xff\xfe[\0S\0]\0"s, State::kRefused},  // UTF-16
  };
  for (const auto& [bytes, state] : rows) {
    WriteFile(dir / "tobrin.ini", bytes);
    std::string text, error;
    EXPECT_EQ(ReadSettingsFile(dir / "tobrin.ini", &text, &error), state) << bytes.size();
    if (state == State::kRead) {
      EXPECT_TRUE(text == bytes) << bytes.size();
    } else {
      EXPECT_NE(error.find(dir / "tobrin.ini"), std::string::npos) << error;
    }
  }
}

TEST(PrepareSettingsWrite, WritesANewFileOrKeepsEveryByteOfALargeOne) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini";
  const Settings s{{"/new/caf\xe9.dat", "/etc/hosts"}, 0};
  SettingsWrite save = PrepareSettingsWrite(path, s);  // no file yet
  ASSERT_TRUE(save.write);
  EXPECT_EQ(save.text, "[Recent File List]\nFile1=/new/caf\xe9.dat\nFile2=/etc/hosts\n");

  // A few MiB of the user's own keys, as big as real files of other programs get.
  std::string other = "[Other]\n";
  for (int i = 0; other.size() < 3 * 1024 * 1024; ++i)
    other += "key" + std::to_string(i) + " = value \xe9 " + std::to_string(i) + "\r\n";
  WriteFile(path, "[Recent File List]\nFile1=/etc/hosts\n" + other);
  save = PrepareSettingsWrite(path, s);
  ASSERT_TRUE(save.write) << save.reason;
  EXPECT_TRUE(save.text ==
              "[Recent File List]\nFile1=/new/caf\xe9.dat\nFile2=/etc/hosts\n" + other);
}

TEST(WriteFileAtomically, CreatesTheFolderAndReplacesTheFileWhole) {
  TempDir dir;
  const std::string path = dir / "deep/er/tobrin.ini";
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "first\n", &error)) << error;
  EXPECT_EQ(ReadFile(path), "first\n");
  chmod(path.c_str(), 0644);
  ASSERT_TRUE(WriteFileAtomically(path, "second\n", &error)) << error;
  EXPECT_EQ(ReadFile(path), "second\n");
  EXPECT_EQ(Permissions(path), 0644);        // permissions kept
  EXPECT_EQ(EntriesIn(dir / "deep/er"), 1);  // no temporary files are left behind
}

TEST(WriteFileAtomically, FollowsASymbolicLink) {
  TempDir dir;
  WriteFile(dir / "real.ini", "old");
  ASSERT_EQ(symlink((dir / "real.ini").c_str(), (dir / "link.ini").c_str()), 0);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "new", &error)) << error;
  EXPECT_EQ(ReadFile(dir / "real.ini"), "new");
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
}

TEST(WriteFileAtomically, ALinkStaysALinkAndItsFileIsWrittenInItsOwnFolder) {
  struct Row {
    std::vector<std::pair<std::string, std::string>> links;  // name, target
    std::string file;                                        // where the text must land
    int mode;                                                // of the file before, 0 for none
  };
  const Row rows[] = {
      // Dangling, absolute.
      {{{"tobrin.ini", "@/dots/tobrin.ini"}}, "dots/tobrin.ini", 0},
      // Dangling, relative, into a folder not yet made.
      {{{"tobrin.ini", "new/dots/tobrin.ini"}}, "new/dots/tobrin.ini", 0},
      // A chain, relative from each link's folder.
      {{{"tobrin.ini", "dots/link"}, {"dots/link", "../real/tobrin.ini"}}, "real/tobrin.ini", 0640},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    TempDir dir;
    fs::create_directories(dir / "dots");
    fs::create_directories(dir / "real");
    for (const auto& [name, target] : row.links) {
      const std::string to = target[0] == '@' ? dir.path() + target.substr(1) : target;
      ASSERT_EQ(symlink(to.c_str(), (dir / name).c_str()), 0);
    }
    if (row.mode != 0) {
      WriteFile(dir / row.file, "old");
      chmod((dir / row.file).c_str(), row.mode);
    }
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "tobrin.ini", "new", &error)) << error;
    EXPECT_EQ(ReadFile(dir / row.file), "new");
    for (const auto& link : row.links)
      EXPECT_TRUE(fs::is_symlink(dir / link.first)) << link.first;
    EXPECT_EQ(Permissions(dir / row.file), row.mode != 0 ? row.mode : 0600);
    // No temporary file left beside it.
    EXPECT_EQ(EntriesIn(fs::path(dir / row.file).parent_path()), 1);
  }
  // A loop of links names no file: nothing is written, the links stay.
  TempDir dir;
  ASSERT_EQ(symlink("b", (dir / "a").c_str()), 0);
  ASSERT_EQ(symlink("a", (dir / "b").c_str()), 0);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir / "a", "x", &error));
  EXPECT_EQ(fs::read_symlink(dir / "a"), "b");
}

TEST(WriteFileAtomically, AFailedWriteLeavesTheOldFileIntact) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini";
  WriteFile(path, "[Recent File List]\nFile1=/precious\n");
  // A folder in the file's place, and a file in the folder's place.
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.path(), "x", &error));
  EXPECT_FALSE(WriteFileAtomically(path + "/under/a/file.ini", "x", &error));

  // A disk that fills up part-way: the file size limit stands in for it, in a child process.
  const auto writeBeyondTheLimit = [&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8, 8};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string e;
    _exit(WriteFileAtomically(path, std::string(100000, 'y'), &e) ? 1 : 0);
  };
  EXPECT_EXIT(writeBeyondTheLimit(), ::testing::ExitedWithCode(0), "")
      << "the write should have failed";
  EXPECT_EQ(ReadFile(path), "[Recent File List]\nFile1=/precious\n");
  EXPECT_EQ(EntriesIn(dir.path()), 1);  // the partial temporary file is gone
}

}  // namespace
