// The settings file, tobrin.ini in the user's configuration folder: an INI text any INI
// reader can read, with the recent-file list and one standard setting.
//
//   [Recent File List]
//   File1=/most/recent/path
//   File2=...
//   [Settings]
//   PreviewPages=N        (written only when not 0)
//
// Section and key names are matched without regard to case, as INI readers do. Everything
// else in the file (other sections, other keys, comments) is kept when it is written back.
// Our own rather than wxFileConfig, which escapes the spaces of "[Recent File List]" and holds
// text where paths are bytes. No toolkit here, so it can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t MAX_RECENT_FILES = 4;
// 16 MiB: far beyond any real settings file, so that a user's own sections of a few MiB are
// still read and written back whole. Larger files are not ours to read: the defaults are used
// and the file is left exactly as it is.
inline constexpr std::size_t MAX_SETTINGS_FILE_SIZE = 16 * 1024 * 1024;
// The longest path kept in the recent-file list (the system's PATH_MAX).
inline constexpr std::size_t MAX_RECENT_PATH_LENGTH = 4096;

struct Settings {
  std::vector<std::string> recentFiles;  // most recent first; at most MAX_RECENT_FILES
  long previewPages = 0;
};

// The settings in an INI text. Whatever the text holds, the result is valid: at most four
// recent files, each non-empty, without control characters and no longer than a path can be,
// taken in order up to the first missing or unusable entry.
Settings ParseSettings(std::string_view text);

// The INI text to store: `existing` (the file's current text, possibly empty) with the
// recent-file keys File1 .. File4 replaced by the list (the section is always there, empty
// for an empty list), and PreviewPages set when not 0.
// Entries that cannot be stored on one line of an INI file and read back as they are (empty,
// too long, with a control character, or with a space or tab at either end) are left out.
std::string FormatSettings(std::string_view existing, const Settings& settings);

enum class SettingsFileState {
  kRead,     // a regular file of text, read whole
  kMissing,  // no file (or a symbolic link to none): a new one may be made
  kRefused,  // not ours to read or replace
};

// Reads a settings file. kRefused, with a reason, for an unreadable file, for anything but a
// regular file (a folder, a pipe, a device), for a file larger than MAX_SETTINGS_FILE_SIZE and
// for one that is not text: a NUL byte or another control character than tab, CR and LF, as
// in binary data or UTF-16. Bytes that are not UTF-8 are text: paths are bytes.
SettingsFileState ReadSettingsFile(const std::string& path, std::string* text, std::string* error);

// What becomes of the settings file when the settings are saved.
struct SettingsWrite {
  bool write = false;  // false: the file is left exactly as it is
  std::string text;    // the text to write, when `write`
  std::string reason;  // why the file is left as it is, otherwise
};

// The recent-file list to store when this session's list meets the one another writer (an
// earlier session, another Tobrin running now) left in the file: `session` on top, in its
// order, then the entries of `onDisk` that are neither in it nor in `dropped` (the files this
// session took off the list), at most MAX_RECENT_FILES in all. Entries FormatSettings would
// leave out take no place, and none comes twice.
std::vector<std::string> MergeRecentFiles(const std::vector<std::string>& session,
                                          const std::vector<std::string>& dropped,
                                          const std::vector<std::string>& onDisk);

// Decides from the file at `path` as it is now: a missing file gets the settings alone, a file
// that ReadSettingsFile reads gets its own text with the settings put in (FormatSettings), the
// recent files of `settings` merged with its own (MergeRecentFiles), and a file it refuses is
// left as it is.
SettingsWrite PrepareSettingsWrite(const std::string& path, const Settings& settings,
                                   const std::vector<std::string>& dropped = {});
