// Fuzzes the settings file reader and writer with arbitrary bytes as the file's text.
//
// For any text:
// - what ParseSettings keeps is a valid list: at most four paths, each non-empty, without
//   control characters and no longer than MAX_RECENT_PATH_LENGTH;
// - writing the settings read back into the same text and reading that gives the same recent
//   files and PreviewPages;
// - writing keeps every other line of the text, in its order: everything but the recent-file
//   keys of [Recent File List] and, when PreviewPages is written, the PreviewPages keys of
//   [Settings];
// - writing again what was just written changes nothing, so the file does not grow or drift
//   from one session to the next.
// The same holds for settings that did not come from the text: the lines of the input, as the
// application might hold them as recent paths, with a PreviewPages taken from its first bytes.
// Those must read back as exactly the entries that can be stored.
//
// And the whole save, on a real file holding the text, through the application's own reader,
// decision and atomic write: a text file (no control byte but tab, CR and LF) is read whole and
// written with every other line kept, its recent files being the storable held ones, each once,
// then the file's own not among them, four in all; any other file is left byte for byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"
#include "files/settings_file.h"
#include "harness/temp_dir.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view input, const std::string& detail) {
  std::fprintf(stderr, "settings: %s\n  detail: %s\n  input size %zu\n", what, detail.c_str(),
               input.size());
  std::abort();
}

// The lines of a text, without their line breaks; a final line break ends the last line
// rather than starting an empty one.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool SameNoCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsHeader(std::string_view line, std::string_view* name) {
  const std::string_view t = TrimBlanks(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  *name = TrimBlanks(t.substr(1, t.size() - 2));
  return true;
}

// The key of a "key = value" line, or empty for anything else (comments included).
std::string_view KeyOf(std::string_view line) {
  const std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return {};
  const size_t eq = t.find('=');
  return eq == std::string_view::npos ? std::string_view() : TrimBlanks(t.substr(0, eq));
}

bool IsRecentKey(std::string_view key) {
  return key.size() == 5 && SameNoCase(key.substr(0, 4), "file") && key[4] >= '1' && key[4] <= '4';
}

// A path that one "FileN=" line can hold and give back exactly. A reader strips blanks around
// a value, so a path that starts or ends with one would come back as another path.
bool Storable(const std::string& path) {
  return !path.empty() && path.size() <= MAX_RECENT_PATH_LENGTH &&
         TrimBlanks(path).size() == path.size() &&
         std::none_of(path.begin(), path.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

void CheckValid(const Settings& s, std::string_view input) {
  if (s.recentFiles.size() > MAX_RECENT_FILES) {
    Fail("more recent files than the list holds", input, std::to_string(s.recentFiles.size()));
  }
  for (const std::string& path : s.recentFiles) {
    if (!Storable(path)) Fail("an unusable recent path was kept", input, path);
  }
}

std::string Describe(const Settings& s) {
  std::string d = "PreviewPages " + std::to_string(s.previewPages) + ", files:";
  for (const std::string& path : s.recentFiles)
    d += " [" + path + "]";
  return d;
}

void CheckSame(const Settings& got, const Settings& expected, const char* what,
               std::string_view input) {
  if (got.recentFiles != expected.recentFiles || got.previewPages != expected.previewPages) {
    Fail(what, input, "read back " + Describe(got) + "; expected " + Describe(expected));
  }
}

// Every line of `input` that writing must keep is in `output`, in the same order.
void CheckLinesKept(std::string_view input, std::string_view output, bool previewWritten) {
  const std::vector<std::string_view> out = SplitLines(output);
  size_t o = 0;
  std::string_view section;
  bool inSection = false;
  for (std::string_view line : SplitLines(input)) {
    std::string_view name;
    if (IsHeader(line, &name)) {
      section = name;
      inSection = true;
    } else if (inSection) {
      const std::string_view key = KeyOf(line);
      if (SameNoCase(section, "Recent File List") && IsRecentKey(key)) continue;
      if (previewWritten && SameNoCase(section, "Settings") && SameNoCase(key, "PreviewPages"))
        continue;
    }
    while (o < out.size() && out[o] != line)
      ++o;
    if (o == out.size()) Fail("writing lost a line of the file", input, std::string(line));
    ++o;
  }
}

void CheckWrite(std::string_view input, const Settings& settings, const Settings& expected) {
  const std::string written = FormatSettings(input, settings);
  CheckSame(ParseSettings(written), expected, "the written settings do not read back", input);
  CheckLinesKept(input, written, settings.previewPages != 0);
  const std::string again = FormatSettings(written, settings);
  if (again != written) Fail("writing the same settings twice changes the file", input, again);
}

bool IsText(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r';
  });
}

void CheckSaveAtExit(std::string_view input, const Settings& held, const Settings& expected) {
  static const tobrin_test::TempDir folder;  // scripts/fuzz puts it on tmpfs
  const std::string path = folder / "tobrin.ini";
  tobrin_test::WriteFile(path, std::string(input));
  std::string text, error;
  const SettingsFileState state = ReadSettingsFile(path, &text, &error);
  if (state != (IsText(input) ? SettingsFileState::kRead : SettingsFileState::kRefused)) {
    Fail("the file was read as text when it is not, or refused when it is", input, error);
  }
  if (state == SettingsFileState::kRead && text != input) Fail("the file was misread", input, text);

  const SettingsWrite save = PrepareSettingsWrite(path, held);
  if (save.write != (state == SettingsFileState::kRead)) {
    Fail("the decision to write does not follow the read", input, save.reason);
  }
  if (save.write && !WriteFileAtomically(path, save.text, &error)) {
    Fail("the file could not be written", input, error);
  }
  const std::string after = tobrin_test::ReadFile(path);
  if (!save.write) {
    if (after != input) Fail("a file left alone was changed", input, after);
    if (save.reason.empty()) Fail("a file was left alone without a reason", input, "");
    return;
  }
  CheckLinesKept(input, after, held.previewPages != 0);
  CheckSame(ParseSettings(after), expected, "the saved file does not read back", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The file as it is.
  const Settings read = ParseSettings(input);
  CheckValid(read, input);
  CheckWrite(input, read, read);

  // Settings the application holds, written into this file: the storable paths, in order, the
  // first four of them, come back.
  Settings held;
  const std::vector<std::string_view> lines = SplitLines(input);
  held.recentFiles.assign(lines.begin(), lines.begin() + std::min<size_t>(lines.size(), 6));
  if (size >= sizeof(int64_t)) {
    int64_t pages = 0;
    std::memcpy(&pages, data, sizeof pages);
    held.previewPages = static_cast<long>(pages);
  }
  Settings expected;
  for (const std::string& path : held.recentFiles) {
    if (expected.recentFiles.size() < MAX_RECENT_FILES && Storable(path))
      expected.recentFiles.push_back(path);
  }
  // PreviewPages 0 is not written, so the file's own value, if any, stays.
  expected.previewPages = held.previewPages != 0 ? held.previewPages : read.previewPages;
  CheckWrite(input, held, expected);
  // The save merges the held list with the one in the file.
  Settings merged = expected;
  merged.recentFiles.clear();
  std::vector<std::string> candidates = held.recentFiles;
  candidates.insert(candidates.end(), read.recentFiles.begin(), read.recentFiles.end());
  for (const std::string& path : candidates) {
    if (merged.recentFiles.size() < MAX_RECENT_FILES && Storable(path) &&
        std::find(merged.recentFiles.begin(), merged.recentFiles.end(), path) ==
            merged.recentFiles.end()) {
      merged.recentFiles.push_back(path);
    }
  }
  CheckSaveAtExit(input, held, merged);
  return 0;
}
