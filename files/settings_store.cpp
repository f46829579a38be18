#include "files/settings_store.h"

#include <algorithm>
#include <cstdio>

#include "files/file_system.h"
#include "files/lock_file.h"
#include "i18n/translate.h"

namespace {

void Erase(std::vector<std::string>* list, const std::string& file) {
  list->erase(std::remove(list->begin(), list->end(), file), list->end());
}

// One line on stderr, after the program's name.
void Say(const std::string& line) {
  std::fprintf(stderr, "tobrin: %s\n", line.c_str());
}

void NotSaved(const std::string& reason) {
  Say(Fill(Tr("the recent-file list of this session was not saved; the settings file is left as "
              "it was: %s"),
           {reason}));
}

}  // namespace

void SettingsStore::Load(std::string path) {
  *this = SettingsStore();
  m_path = std::move(path);
  if (m_path.empty()) return;
  std::string text, error;
  switch (ReadSettingsFile(m_path, &text, &error)) {
    case SettingsFileState::kRead:
      m_loaded = ParseSettings(text);
      break;
    case SettingsFileState::kMissing:
      break;
    case SettingsFileState::kRefused:
      m_refused = error;
      break;
  }
}

void SettingsStore::Added(const std::string& file) {
  Erase(&m_removed, file);
  Erase(&m_added, file);
  m_added.insert(m_added.begin(), file);
}

void SettingsStore::Removed(const std::string& file) {
  Erase(&m_added, file);
  if (std::find(m_removed.begin(), m_removed.end(), file) == m_removed.end()) {
    m_removed.push_back(file);
  }
}

bool SettingsStore::Save() const {
  if (m_path.empty()) return false;
  // A file that could not be read at start is not replaced either: this session began without
  // what it holds.
  if (!m_refused.empty()) {
    NotSaved(m_refused);
    return false;
  }
  // Make the folder, so that the first save of all is locked as well.
  std::string error;
  const size_t slash = m_path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(m_path.substr(0, slash), &error);
  // Beside the path the user has, links or not: every session of this user reaches the file
  // through that path, so they all meet at this lock.
  const FileLock lock(m_path + ".lock", SETTINGS_LOCK_WAIT);
  if (lock.state() == FileLock::State::kBusy) {
    Say(Fill(Tr("the settings were not saved: another Tobrin is saving them: %s"), {lock.error()}));
    return false;
  }
  // With no lock to be had at all (a read-only folder, say) no other session can have one
  // either: the write goes ahead and meets the same fate as theirs.
  Settings settings = m_loaded;
  settings.recentFiles = m_added;
  const SettingsWrite save = PrepareSettingsWrite(m_path, settings, m_removed);
  if (!save.write) {
    NotSaved(save.reason);
    return false;
  }
  if (!WriteFileAtomically(m_path, save.text, &error)) {
    Say(Fill(Tr("the settings could not be saved: %s"), {error}));
    return false;
  }
  return true;
}
