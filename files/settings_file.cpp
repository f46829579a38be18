#include "files/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "files/file_system.h"
#include "i18n/translate.h"

namespace {

constexpr std::string_view kRecentSection = "Recent File List";
constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kPreviewKey = "PreviewPages";

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) {
             return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
           };
           return lower(x) == lower(y);
         });
}

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && blank(s.back()))
    s.remove_suffix(1);
  return s;
}

// One line of an INI text, classified.
struct Line {
  std::string_view text;  // the whole line, without its line break
  bool isSection = false;
  std::string_view section;  // for a section header: its name
  bool isKey = false;
  std::string_view key, value;
};

Line Classify(std::string_view raw) {
  Line line;
  line.text = raw;
  const std::string_view t = Trim(raw);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
    line.isSection = true;
    line.section = Trim(t.substr(1, t.size() - 2));
    return line;
  }
  if (t.empty() || t.front() == ';' || t.front() == '#') return line;
  const size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  line.isKey = true;
  line.key = Trim(t.substr(0, eq));
  line.value = Trim(t.substr(eq + 1));
  return line;
}

// Calls `f` with each line of `text`, classified. One line at a time: a file of millions of
// short lines must not cost a record for each.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    f(Classify(text.substr(0, end)));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// The number of a recent-file key "FileN" (1 to 4), or 0.
int RecentIndex(std::string_view key) {
  if (key.size() != 5 || !EqualNoCase(key.substr(0, 4), "File")) return 0;
  const char digit = key[4];
  return (digit >= '1' && digit <= '4') ? digit - '0' : 0;
}

bool UsablePath(std::string_view path) {
  if (path.empty() || path.size() > MAX_RECENT_PATH_LENGTH) return false;
  return std::none_of(path.begin(), path.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
}

// A path that a "FileN=" line gives back exactly: usable, and without a blank at either end,
// which ParseSettings, like every INI reader, strips from a value.
bool StorablePath(std::string_view path) {
  return UsablePath(path) && Trim(path).size() == path.size();
}

// A whole decimal number in the range of long, or false.
bool ParseLong(std::string_view s, long* out) {
  if (s.empty() || s.size() > 20) return false;
  const std::string copy(s);
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(copy.c_str(), &end, 10);
  if (errno != 0 || end != copy.c_str() + copy.size()) return false;
  *out = v;
  return true;
}

}  // namespace

Settings ParseSettings(std::string_view text) {
  Settings settings;
  std::string_view recent[MAX_RECENT_FILES + 1];
  bool seen[MAX_RECENT_FILES + 1] = {};
  bool previewSeen = false;
  std::string_view section;
  bool inSection = false;
  ForEachLine(text, [&](const Line& line) {
    if (line.isSection) {
      section = line.section;
      inSection = true;
      return;
    }
    if (!line.isKey || !inSection) return;
    // The first occurrence of a key wins, as in other INI readers.
    if (EqualNoCase(section, kRecentSection)) {
      const int n = RecentIndex(line.key);
      if (n != 0 && !seen[n]) {
        seen[n] = true;
        recent[n] = line.value;
      }
    } else if (EqualNoCase(section, kSettingsSection) && EqualNoCase(line.key, kPreviewKey) &&
               !previewSeen) {
      previewSeen = true;
      long pages = 0;
      if (ParseLong(line.value, &pages)) settings.previewPages = pages;
    }
  });
  for (size_t n = 1; n <= MAX_RECENT_FILES; ++n) {
    if (!UsablePath(recent[n])) break;
    settings.recentFiles.emplace_back(recent[n]);
  }
  return settings;
}

std::string FormatSettings(std::string_view existing, const Settings& settings) {
  std::vector<std::string> recent;
  for (const std::string& path : settings.recentFiles) {
    if (recent.size() == MAX_RECENT_FILES) break;
    if (StorablePath(path)) recent.push_back(path);
  }
  const bool writePreview = settings.previewPages != 0;
  const std::string recentKeys = [&] {
    std::string keys;
    for (size_t i = 0; i < recent.size(); ++i) {
      keys += "File" + std::to_string(i + 1) + "=" + recent[i] + "\n";
    }
    return keys;
  }();
  const std::string previewKey =
      std::string(kPreviewKey) + "=" + std::to_string(settings.previewPages) + "\n";

  std::string out;
  out.reserve(existing.size() + recentKeys.size() + previewKey.size() + 40);
  bool recentWritten = false, previewWritten = false;
  std::string_view section;
  bool inSection = false;
  // Writes what belongs at the end of the section being left.
  const auto closeSection = [&] {
    if (!inSection) return;
    if (EqualNoCase(section, kRecentSection) && !recentWritten) {
      out += recentKeys;
      recentWritten = true;
    } else if (EqualNoCase(section, kSettingsSection) && writePreview && !previewWritten) {
      out += previewKey;
      previewWritten = true;
    }
  };
  ForEachLine(existing, [&](const Line& line) {
    if (line.isSection) {
      closeSection();
      section = line.section;
      inSection = true;
    } else if (line.isKey && inSection) {
      if (EqualNoCase(section, kRecentSection) && RecentIndex(line.key) != 0) return;
      if (EqualNoCase(section, kSettingsSection) && EqualNoCase(line.key, kPreviewKey) &&
          writePreview) {
        return;
      }
    }
    out.append(line.text.data(), line.text.size());
    out += '\n';
  });
  closeSection();
  if (!recentWritten) {
    out += "[" + std::string(kRecentSection) + "]\n" + recentKeys;
  }
  if (writePreview && !previewWritten) {
    out += "[" + std::string(kSettingsSection) + "]\n" + previewKey;
  }
  return out;
}

namespace {

// The offset of the first byte that an INI text does not hold, or npos.
size_t FirstBinaryByte(std::string_view text) {
  const auto binary = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 && c != '\t' && c != '\n' && c != '\r';
  };
  const auto it = std::find_if(text.begin(), text.end(), binary);
  return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

}  // namespace

SettingsFileState ReadSettingsFile(const std::string& path, std::string* text, std::string* error) {
  std::string content;
  switch (ReadFileWithin(path, MAX_SETTINGS_FILE_SIZE, &content, error)) {
    case FileRead::kRead:
      break;
    case FileRead::kMissing:
      return SettingsFileState::kMissing;
    case FileRead::kTooLarge:
      *error = path + ": " +
               Fill(Tr("larger than a settings file can be (%d MiB)"),
                    {std::to_string(MAX_SETTINGS_FILE_SIZE / (1024 * 1024))});
      return SettingsFileState::kRefused;
    case FileRead::kFailed:
      return SettingsFileState::kRefused;
  }
  const size_t binary = FirstBinaryByte(content);
  if (binary != std::string::npos) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02x", static_cast<unsigned char>(content[binary]));
    *error =
        path + ": " + Fill(Tr("not text (byte %s at offset %s)"), {byte, std::to_string(binary)});
    return SettingsFileState::kRefused;
  }
  *text = std::move(content);
  return SettingsFileState::kRead;
}

std::vector<std::string> MergeRecentFiles(const std::vector<std::string>& session,
                                          const std::vector<std::string>& dropped,
                                          const std::vector<std::string>& onDisk) {
  std::vector<std::string> merged;
  const auto listed = [](const std::vector<std::string>& list, const std::string& path) {
    return std::find(list.begin(), list.end(), path) != list.end();
  };
  const auto add = [&](const std::string& path) {
    if (merged.size() < MAX_RECENT_FILES && StorablePath(path) && !listed(merged, path)) {
      merged.push_back(path);
    }
  };
  for (const std::string& path : session)
    add(path);
  for (const std::string& path : onDisk) {
    if (!listed(dropped, path)) add(path);
  }
  return merged;
}

SettingsWrite PrepareSettingsWrite(const std::string& path, const Settings& settings,
                                   const std::vector<std::string>& dropped) {
  SettingsWrite result;
  std::string existing;
  if (ReadSettingsFile(path, &existing, &result.reason) == SettingsFileState::kRefused) {
    return result;
  }
  result.reason.clear();
  result.write = true;
  Settings merged = settings;
  merged.recentFiles =
      MergeRecentFiles(settings.recentFiles, dropped, ParseSettings(existing).recentFiles);
  result.text = FormatSettings(existing, merged);
  return result;
}
