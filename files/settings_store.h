// The settings file as one session of the program keeps it: what was read at start, and what
// the session did to the recent-file list since. Saving merges that into the file as it is on
// disk at that moment, under a lock, so that other sessions' entries are kept. Plain bytes and
// file work only: it can still be saved when the toolkit can no longer be called.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "files/settings_file.h"

// How long a save waits for another session's save to finish before it is skipped.
inline constexpr std::chrono::milliseconds SETTINGS_LOCK_WAIT{1000};

class SettingsStore {
 public:
  // Reads the file at `path` (SettingsFilePath() in the program); nothing is kept of an earlier
  // load. An empty path: nothing is read, and nothing is saved.
  void Load(std::string path);

  const std::string& path() const { return m_path; }
  // What was read at start: the defaults when the file was missing or refused.
  const Settings& loaded() const { return m_loaded; }

  // `file` was put on top of the recent-file list (opened, saved under a new name).
  void Added(const std::string& file);
  // `file` was taken off the list (it could not be opened).
  void Removed(const std::string& file);

  // Writes the settings into the file atomically: this session's recent files on top, then
  // the file's own, everything else in it kept. False, with one line on stderr, when nothing
  // was written: the file is not Tobrin's to replace (refused at start, or now), another
  // session held the lock for SETTINGS_LOCK_WAIT, or the write failed.
  bool Save() const;

 private:
  std::string m_path;
  std::string m_refused;  // why the file was not read at start, if it was refused
  Settings m_loaded;
  std::vector<std::string> m_added;    // newest first
  std::vector<std::string> m_removed;  // none of them in m_added
};
