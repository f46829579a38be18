// One session's recent files merged into the settings file as it is on disk, and sessions
// saving at the same moment under the lock beside the file.
#include "files/settings_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <thread>

#include "files/lock_file.h"
#include "harness/process.h"
#include "harness/temp_dir.h"

namespace {

using namespace tobrin_test;
using Files = std::vector<std::string>;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

TEST(MergeRecentFiles, SessionOnTopThenTheFilesOwnUpToFour) {
  struct Case {
    Files session, dropped, onDisk, merged;
  };
  const Case cases[] = {
      {{}, {}, {"/a", "/b"}, {"/a", "/b"}},
      {{"/n"}, {}, {"/a", "/b"}, {"/n", "/a", "/b"}},
      {{"/b", "/n"}, {}, {"/a", "/b", "/c"}, {"/b", "/n", "/a", "/c"}},  // no duplicates
      {{"/n1", "/n2"}, {}, {"/a", "/b", "/c", "/d"}, {"/n1", "/n2", "/a", "/b"}},
      {{"/1", "/2", "/3", "/4", "/5"}, {}, {"/a"}, {"/1", "/2", "/3", "/4"}},
      {{"/n", "/n"}, {}, {"/n"}, {"/n"}},
      // What this session took off the list does not come back from the file.
      {{"/n"}, {"/b"}, {"/a", "/b", "/c"}, {"/n", "/a", "/c"}},
      // Entries one line cannot hold take no place from the file's.
      {{"", " /blank", "/ctl\x01", "/n"}, {}, {"/a", "/b", "/c"}, {"/n", "/a", "/b", "/c"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MergeRecentFiles(c.session, c.dropped, c.onDisk), c.merged)
        << ::testing::PrintToString(c.session) << " over " << ::testing::PrintToString(c.onDisk);
  }
}

TEST(SettingsStore, SavesThisSessionsChangesOverTheFileAsItIsNow) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini";
  WriteFile(path, "; mine\n[Recent File List]\nFile1=/a\nFile2=/b\n[Other]\nk = v\r\n");
  SettingsStore store;
  store.Load(path);
  EXPECT_EQ(store.loaded().recentFiles, (Files{"/a", "/b"}));
  // Another session saved meanwhile; its entries and the user's lines stay.
  WriteFile(path, "; mine\n[Recent File List]\nFile1=/x\nFile2=/a\nFile3=/b\n[Other]\nk = v\r\n");
  store.Added("/n1");
  store.Added("/n2");
  store.Added("/n1");  // opened again: on top once
  store.Removed("/a");
  ASSERT_TRUE(store.Save());
  EXPECT_EQ(
      ReadFile(path),
      "; mine\n[Recent File List]\nFile1=/n1\nFile2=/n2\nFile3=/x\nFile4=/b\n[Other]\nk = v\r\n");
  // A file taken off and opened again is back on top.
  store.Added("/a");
  ASSERT_TRUE(store.Save());
  EXPECT_EQ(ParseSettings(ReadFile(path)).recentFiles, (Files{"/a", "/n1", "/n2", "/x"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
      << "a temporary or lock file was left";
}

TEST(SettingsStore, AFileRefusedAtStartOrNowIsNeverWritten) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini";
  const std::string binary = "[Recent File List]\nFile1=/a\n" + std::string(1, '\0');
  for (const bool atStart : {true, false}) {
    WriteFile(path, atStart ? binary : "[Recent File List]\nFile1=/a\n");
    SettingsStore store;
    store.Load(path);
    WriteFile(path, binary);
    store.Added("/n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(store.Save());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("was not saved"), std::string::npos) << said;
    EXPECT_TRUE(ReadFile(path) == binary) << atStart;
  }
}

TEST(SettingsStore, ALockHeldElsewhereSkipsTheSaveAfterASecondAndLeavesTheFile) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini";
  WriteFile(path, "[Recent File List]\nFile1=/a\n");
  SettingsStore store;
  store.Load(path);
  store.Added("/n");
  {
    // A lock of its own open file excludes this process's other opens too.
    const FileLock held(path + ".lock", std::chrono::milliseconds(0));
    ASSERT_EQ(held.state(), FileLock::State::kHeld) << held.error();
    ::testing::internal::CaptureStderr();
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(store.Save());
    const auto waited = Clock::now() - start;
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_GE(waited, SETTINGS_LOCK_WAIT);
    EXPECT_LT(waited, std::chrono::seconds(10)) << "the save hung on the lock";
    EXPECT_EQ(said.find("another Tobrin"), said.rfind("another Tobrin")) << said;
    EXPECT_NE(said.find("another Tobrin"), std::string::npos) << said;
    EXPECT_EQ(ReadFile(path), "[Recent File List]\nFile1=/a\n");
  }
  EXPECT_TRUE(store.Save());
  EXPECT_EQ(ReadFile(path), "[Recent File List]\nFile1=/n\nFile2=/a\n");
}

TEST(SettingsStore, ALockFileLeftByAKilledSaveIsTakenAndRemoved) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini";
  WriteFile(path + ".lock", "");  // no one holds it
  SettingsStore store;
  store.Load(path);
  store.Added("/n");
  EXPECT_TRUE(store.Save());
  EXPECT_EQ(ReadFile(path), "[Recent File List]\nFile1=/n\n");
  EXPECT_FALSE(fs::exists(path + ".lock"));
}

// How many of this process's open files are `path`.
int TimesOpen(const std::string& path) {
  int count = 0;
  for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    count += fs::read_symlink(fd.path(), error) == path;
  }
  return count;
}

TEST(FileLock, AWaiterThatGetsTheLockOfARemovedFileTakesTheNewOne) {
  TempDir dir;
  const std::string path = dir / "tobrin.ini.lock";
  auto first = std::make_unique<FileLock>(path, std::chrono::milliseconds(0));
  ASSERT_EQ(first->state(), FileLock::State::kHeld);
  // The waiter opens the lock file, then waits for its holder, who removes it on letting go.
  std::unique_ptr<FileLock> waiter;
  std::thread waiting([&] { waiter = std::make_unique<FileLock>(path, std::chrono::seconds(20)); });
  const bool opened = WaitUntil([&] { return TimesOpen(path) == 2; }, 20000);
  first.reset();
  waiting.join();
  ASSERT_TRUE(opened);
  ASSERT_EQ(waiter->state(), FileLock::State::kHeld) << waiter->error();
  // Its lock is on the file the path names, so a newcomer must wait for it.
  const FileLock newcomer(path, std::chrono::milliseconds(0));
  EXPECT_EQ(newcomer.state(), FileLock::State::kBusy);
  waiter.reset();
  EXPECT_FALSE(fs::exists(path));
}

TEST(SettingsStore, SessionsSavingAtOnceInOtherProcessesLoseNothing) {
  constexpr int kRounds = 12, kWriters = 4;
  for (int round = 0; round < kRounds; ++round) {
    TempDir dir;
    const std::string path = dir / "tobrin.ini";
    const std::string other = "[Other]\n" + std::string(20000, 'o') + "\n";
    WriteFile(path, other);
    // Each writer loads the file, then all save together once the gate opens.
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> writers;
    for (int i = 0; i < kWriters; ++i) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        ::close(gate[1]);
        SettingsStore store;
        store.Load(path);
        store.Added("/writer/" + std::to_string(i));
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(gate[0], &byte, 1);  // until the gate closes
        ::_exit(store.Save() ? 0 : 1);
      }
      ASSERT_GT(pid, 0);
      writers.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : writers) {
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer's save failed";
    }
    const std::string text = ReadFile(path);
    Files recent = ParseSettings(text).recentFiles;
    std::sort(recent.begin(), recent.end());
    EXPECT_EQ(recent, (Files{"/writer/0", "/writer/1", "/writer/2", "/writer/3"}))
        << "round " << round;
    EXPECT_EQ(text.substr(0, other.size()), other) << "round " << round;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  }
}

}  // namespace
