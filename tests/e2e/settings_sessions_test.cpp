// The recent-file list on disk when more than one Tobrin runs, and when a session ends without
// its exit: the display gone, the program killed. Also a file that turned into something not
// Tobrin's during the session, which the exit must leave alone.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/tobrin_fixture.h"

namespace {

using namespace tobrin_test;

class SettingsSessions : public TobrinFixture {
 protected:
  std::string Settings() { return ReadFile(config_ / "tobrin.ini"); }

  // Opens `document` and waits until the save at the Open is over: the settings file lists it
  // first and the save's lock file, removed just after the rename, is gone.
  void OpenAndSeeItSaved(const std::string& document) {
    WriteFile(document, "figure notes");
    OpenThroughTheDialog(document);
    const std::string first = "File1=" + document + "\n";
    EXPECT_TRUE(WaitUntil(
        [&] {
          return Settings().find(first) != std::string::npos &&
                 !std::filesystem::exists(config_ / "tobrin.ini.lock");
        },
        ScaledMs(30000)))
        << Settings() << ReadFile(stderr_);
  }

  std::string StartWithTheOldFileAndOpen();

  // No temporary or lock file left beside the settings file (the file dialog keeps a folder
  // of the toolkit's own there).
  void ExpectOnlyTheSettingsFile() {
    std::vector<std::string> ours;
    for (const auto& entry : std::filesystem::directory_iterator(config_.path())) {
      const std::string name = entry.path().filename();
      if (name.rfind("tobrin", 0) == 0) ours.push_back(name);
    }
    EXPECT_EQ(ours, std::vector<std::string>{"tobrin.ini"});
  }
};

const char* const kOld = "[Recent File List]\nFile1=/old/one\n[Mine]\nkey = kept ; as it was\n";

// Starts on kOld and opens a document, which is then on disk: its path.
std::string SettingsSessions::StartWithTheOldFileAndOpen() {
  WriteFile(config_ / "tobrin.ini", kOld);
  const std::string document = files_ / "figure.txt";
  Start();
  OpenAndSeeItSaved(document);
  return document;
}

TEST_F(SettingsSessions, TwoAtOnceTheOneThatEndsLastKeepsTheOthersFile) {
  WriteFile(config_ / "tobrin.ini", kOld);
  const std::string first = files_ / "first.txt", second = files_ / "second.txt";
  Start();
  Instance other;
  StartAnother(&other);  // both read the same file now
  SwapProgram(&other);
  OpenAndSeeItSaved(first);
  SwapProgram(&other);
  OpenAndSeeItSaved(second);
  SwapProgram(&other);
  QuitByMenu();  // the first ends first
  SwapProgram(&other);
  QuitByMenu();
  EXPECT_EQ(Settings(), "[Recent File List]\nFile1=" + second + "\nFile2=" + first +
                            "\nFile3=/old/one\n[Mine]\nkey = kept ; as it was\n");
  ExpectOnlyTheSettingsFile();
}

TEST_F(SettingsSessions, TheDisplayGoneEndsItWithOneLineAndTheSettingsSaved) {
  const std::string document = StartWithTheOldFileAndOpen();
  // Gone again, so that only the save at the loss of the display can bring it back.
  std::filesystem::remove(config_ / "tobrin.ini");
  server_.reset();
  EXPECT_EQ(WaitForExit(), 1) << ReadFile(stderr_);
  const std::string errors = ReadFile(stderr_);
  EXPECT_NE(errors.find("connection to the display was lost"), std::string::npos) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_EQ(Settings(), "[Recent File List]\nFile1=" + document + "\n");
  ExpectOnlyTheSettingsFile();
}

TEST_F(SettingsSessions, KilledAfterAnOpenTheFileIsKept) {
  const std::string document = StartWithTheOldFileAndOpen();
  kill(program_.pid(), SIGKILL);
  EXPECT_EQ(WaitForExit(), 128 + SIGKILL);
  EXPECT_EQ(Settings(), "[Recent File List]\nFile1=" + document +
                            "\nFile2=/old/one\n[Mine]\nkey = kept ; as it was\n");
  ExpectOnlyTheSettingsFile();
}

TEST_F(SettingsSessions, AFileReplacedDuringTheSessionByOneNotOursIsLeftAtExit) {
  // Read at start, then replaced by binary bytes, and by text over the size limit.
  const std::string binary("[Recent File List]\nFile1=/x\n\0\x01\x02", 31);
  const std::string oversized = "[Recent File List]\n" + std::string(17 << 20, 'a') + "\n";
  for (const std::string* replacement : {&binary, &oversized}) {
    WriteFile(config_ / "tobrin.ini", kOld);
    Start();
    WriteFile(config_ / "tobrin.ini", *replacement);
    Focus();
    Key("alt+f x");
    EXPECT_TRUE(EndedWith(0, WaitForExit()));
    EXPECT_TRUE(Settings() == *replacement) << replacement->size();
    const std::string errors = ReadFile(stderr_);
    EXPECT_NE(errors.find("list of this session was not saved"), std::string::npos) << errors;
  }
}

}  // namespace
