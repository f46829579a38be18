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
// No toolkit here: this is plain text handling, so it can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t MAX_RECENT_FILES = 4;
// Larger files are not ours to read: the defaults are used and the file is left alone.
inline constexpr std::size_t MAX_SETTINGS_FILE_SIZE = 64 * 1024;
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

// $XDG_CONFIG_HOME/tobrin.ini, or ~/.config/tobrin.ini when that variable is unset or not an
// absolute path. Empty if the home folder cannot be found either.
std::string SettingsFilePath();

// Reads a settings file. False, with a reason, for a missing or unreadable file, for anything
// but a regular file (a folder, a pipe, a device) and for a file larger than
// MAX_SETTINGS_FILE_SIZE.
bool ReadSettingsFile(const std::string& path, std::string* text, std::string* error);

// Replaces the file at `path` by `text` atomically: the text goes to a new file in the same
// folder, which is flushed to disk and then renamed over the old one, so the old file is
// either replaced whole or left exactly as it was. Creates the folder if it is missing.
// A symbolic link at `path` is followed, so the file it names is the one replaced.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);
