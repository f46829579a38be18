// The settings file and the document's files on Windows: UTF-16 paths, the roaming folder, the
// lock, and the boundary rules that hold on every system, through Windows' own calls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "files/document_file.h"
#include "files/file_system.h"
#include "files/lock_file.h"
#include "files/settings_file.h"
#include "files/settings_path.h"
#include "files/settings_store.h"
#include "files/windows/wide_text.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Greek and Chinese: outside every ANSI code page but one.
const std::string kGreek = "\xCE\xB1\xCE\xB2\xCE\xB3";    // αβγ
const std::string kChinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

// A fresh folder of its own under the system's temporary folder, removed with its files.
class Folder {
 public:
  Folder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring name = std::wstring(base) + L"tobrin-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(s_count++) + L"-" + WideFromUtf8(kGreek);
    CreateDirectoryW(name.c_str(), nullptr);
    m_path = Utf8FromWide(name);
  }
  ~Folder() { Remove(WideFromUtf8(m_path)); }
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

 private:
  static void Remove(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(child);
        } else {
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
  }

  static inline int s_count = 0;
  std::string m_path;
};

std::string Slurp(const std::string& path) {
  std::string text;
  ReadSettingsFile(path, &text, nullptr);
  return text;
}

void Put(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int FilesIn(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((WideFromUtf8(folder) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") ++count;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

TEST(WindowsSettings, LiveInTheRoamingApplicationDataFolder) {
  Folder roaming;
  const std::wstring saved = _wgetenv(L"APPDATA") != nullptr ? _wgetenv(L"APPDATA") : L"";
  _wputenv_s(L"APPDATA", WideFromUtf8(roaming.path()).c_str());
  EXPECT_EQ(SettingsFilePath(), roaming / "Tobrin\\tobrin.ini");
  // The folder is made at the first save; the user's own files beside it are not touched.
  SettingsStore store;
  store.Load(SettingsFilePath());
  store.Added("C:\\figures\\one.tbr");
  EXPECT_TRUE(store.Save());
  EXPECT_THAT(ParseSettings(Slurp(roaming / "Tobrin\\tobrin.ini")).recentFiles,
              ElementsAre("C:\\figures\\one.tbr"));
  _wputenv_s(L"APPDATA", saved.c_str());
}

TEST(WindowsSettings, PathsOutsideTheAnsiCodePageSurviveASession) {
  Folder folder;
  const std::string settings = folder / (kChinese + ".ini");
  const std::string greek = "C:\\" + kGreek + "\\figure.tbr";
  const std::string chinese = "D:\\" + kChinese + "\\" + kGreek + ".tbr";
  {
    SettingsStore first;
    first.Load(settings);
    first.Added(greek);
    first.Added(chinese);
    ASSERT_TRUE(first.Save());
  }
  SettingsStore second;
  second.Load(settings);
  EXPECT_THAT(second.loaded().recentFiles, ElementsAre(chinese, greek));
  // Stored as UTF-8, as any INI reader of ours on another system reads it.
  EXPECT_THAT(Slurp(settings), HasSubstr("File1=" + chinese + "\n"));
}

TEST(WindowsSettings, FilesThatAreNotOursAreLeftByteForByte) {
  Folder folder;
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"binary", std::string("[Recent File List]\nFile1=a\0b\n", 27)},
      {"utf16", std::string("\xFF\xFE[\0R\0", 6)},
      {"too large", std::string(MAX_SETTINGS_FILE_SIZE + 1, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder / "tobrin.ini";
    Put(path, c.bytes);
    SettingsStore store;
    store.Load(path);
    store.Added("C:\\new.tbr");
    EXPECT_FALSE(store.Save());
    std::string text, error;
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    GetFileSizeEx(file, &size);
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    EXPECT_TRUE(text == c.bytes) << "the file was changed";
    EXPECT_EQ(FilesIn(folder.path()), 1) << "a temporary or lock file was left";
  }
}

TEST(WindowsSettings, WritesAreAtomicAndRefuseWhatCannotBeReplaced) {
  Folder folder;
  const std::string path = folder / "sub\\deeper\\tobrin.ini";
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "[Settings]\n", &error)) << error;
  ASSERT_TRUE(WriteFileAtomically(path, "[Recent File List]\nFile1=x\n", &error)) << error;
  EXPECT_EQ(Slurp(path), "[Recent File List]\nFile1=x\n");
  EXPECT_EQ(FilesIn(folder / "sub\\deeper"), 1) << "the temporary file was left";

  // A read-only file stays as it is, and the failure is told.
  SetFileAttributesW(WideFromUtf8(path).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(WriteFileAtomically(path, "changed\n", &error));
  EXPECT_FALSE(error.empty());
  SetFileAttributesW(WideFromUtf8(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Slurp(path), "[Recent File List]\nFile1=x\n");

  // A folder in the file's place is not replaced.
  const std::string folderInPlace = folder / "taken.ini";
  CreateDirectoryW(WideFromUtf8(folderInPlace).c_str(), nullptr);
  EXPECT_FALSE(WriteFileAtomically(folderInPlace, "x\n", &error));
  std::string text;
  EXPECT_EQ(ReadSettingsFile(folderInPlace, &text, &error), SettingsFileState::kRefused);
  EXPECT_EQ(ReadSettingsFile(folder / "none.ini", &text, &error), SettingsFileState::kMissing);
}

TEST(WindowsFileLock, OneHolderAtATimeAndNothingLeftBehind) {
  Folder folder;
  const std::string lockPath = folder / "tobrin.ini.lock";
  {
    FileLock first(lockPath, std::chrono::milliseconds(0));
    ASSERT_EQ(first.state(), FileLock::State::kHeld) << first.error();
    FileLock second(lockPath, std::chrono::milliseconds(50));
    EXPECT_EQ(second.state(), FileLock::State::kBusy);
    EXPECT_THAT(second.error(), HasSubstr("held by another process"));
  }
  EXPECT_FALSE(Exists(lockPath)) << "the lock file was left";
  FileLock again(lockPath, std::chrono::milliseconds(0));
  EXPECT_EQ(again.state(), FileLock::State::kHeld);

  FileLock nowhere(folder / "missing\\tobrin.ini.lock", std::chrono::milliseconds(0));
  EXPECT_EQ(nowhere.state(), FileLock::State::kUnavailable);
}

TEST(WindowsDocumentFiles, OpenAndSaveTellWhyTheyFail) {
  Folder folder;
  std::string message;
  const std::string named = folder / (kChinese + ".tbr");
  Put(named, "old contents");
  EXPECT_TRUE(OpenDocumentFile(named, &message)) << message;
  ASSERT_TRUE(CreateEmptyDocumentFile(named, &message)) << message;
  EXPECT_EQ(Slurp(named), "");

  EXPECT_FALSE(OpenDocumentFile(folder / "none.tbr", &message));
  EXPECT_THAT(message, HasSubstr("There is no such file."));
  EXPECT_FALSE(OpenDocumentFile(folder.path(), &message));
  EXPECT_THAT(message, HasSubstr("It is a folder, not a file."));
  EXPECT_FALSE(CreateEmptyDocumentFile(folder.path(), &message));
  EXPECT_THAT(message, HasSubstr("could not be saved. It is a folder"));
  EXPECT_FALSE(CreateEmptyDocumentFile(folder / "missing\\x.tbr", &message));
  EXPECT_THAT(message, HasSubstr("could not be saved."));
}

TEST(WideText, RoundTripsEveryPlane) {
  const std::string text = "a" + kGreek + kChinese + "\xF0\x9F\x98\x80";  // and an emoji
  EXPECT_EQ(Utf8FromWide(WideFromUtf8(text)), text);
  EXPECT_EQ(WideFromUtf8(kGreek), std::wstring(L"\u03B1\u03B2\u03B3"));
  EXPECT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
}

}  // namespace
