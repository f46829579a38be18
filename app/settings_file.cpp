#include "app/settings_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

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

std::string ErrorText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

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

std::string SettingsFilePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/tobrin.ini";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* pw = getpwuid(getuid());
    home = (pw != nullptr && pw->pw_dir != nullptr) ? pw->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] != '/') return std::string();
  return std::string(home) + "/.config/tobrin.ini";
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
  // Non-blocking, so that a pipe put in the file's place cannot stall the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int openError = errno;
    *error = ErrorText(path, openError);
    return openError == ENOENT ? SettingsFileState::kMissing : SettingsFileState::kRefused;
  }
  FdCloser closer{fd};
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    *error = ErrorText(path, errno);
    return SettingsFileState::kRefused;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = path + ": not a regular file";
    return SettingsFileState::kRefused;
  }
  const std::string tooLarge = path + ": larger than a settings file can be (" +
                               std::to_string(MAX_SETTINGS_FILE_SIZE / (1024 * 1024)) + " MiB)";
  if (static_cast<unsigned long long>(st.st_size) > MAX_SETTINGS_FILE_SIZE) {
    *error = tooLarge;
    return SettingsFileState::kRefused;
  }
  std::string content;
  content.reserve(static_cast<size_t>(st.st_size));
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = ErrorText(path, errno);
      return SettingsFileState::kRefused;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
    if (content.size() > MAX_SETTINGS_FILE_SIZE) {  // grew while being read
      *error = tooLarge;
      return SettingsFileState::kRefused;
    }
  }
  const size_t binary = FirstBinaryByte(content);
  if (binary != std::string::npos) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02x", static_cast<unsigned char>(content[binary]));
    *error = path + ": not text (byte " + byte + " at offset " + std::to_string(binary) + ")";
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

bool MakeFolders(const std::string& folder, std::string* error) {
  if (folder.empty()) return true;
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    *error = folder + ": not a folder";
    return false;
  }
  const size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash), error)) {
    return false;
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = ErrorText(folder, errno);
    return false;
  }
  return true;
}

namespace {

// The folder part of a path: "." for a bare name, "" for a name in the root.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The file that the chain of symbolic links at `path` ends in (`path` itself when it is no
// link), relative targets taken from their link's folder. By hand rather than realpath(): the
// last link may dangle, and the file it names is then the one to create.
bool ResolveLinks(std::string path, std::string* file, std::string* error) {
  constexpr int kMaxLinks = 40;  // as the kernel allows in one lookup
  for (int links = 0;; ++links) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *file = std::move(path);
      return true;
    }
    if (links == kMaxLinks) {
      *error = ErrorText(path, ELOOP);
      return false;
    }
    std::error_code failure;
    const std::filesystem::path target = std::filesystem::read_symlink(path, failure);
    if (failure) {
      *error = path + ": " + failure.message();
      return false;
    }
    path = target.is_absolute() ? target.native() : FolderOf(path) + "/" + target.native();
  }
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& requested, const std::string& text,
                         std::string* error) {
  std::string path;
  if (!ResolveLinks(requested, &path, error)) return false;
  const std::string folder = FolderOf(path);
  if (!MakeFolders(folder, error)) return false;

  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *error = ErrorText(folder, errno);
    return false;
  }
  // The new file keeps the old one's permissions (mkstemp makes it private).
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
  bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
  int writeError = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    writeError = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    *error = ErrorText(temp, writeError);
    return false;
  }
  // A folder or other non-file in the file's place is not replaced.
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    ::unlink(temp.c_str());
    *error = path + ": is a folder";
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temp.c_str());
    *error = ErrorText(path, renameError);
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}
