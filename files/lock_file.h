// An exclusive lock that processes writing one file take before they read, change and replace
// it: a lock file of its own beside that file, held while the object lives.
#pragma once

#include <chrono>
#include <string>

class FileLock {
 public:
  enum class State {
    kHeld,         // the lock is ours
    kBusy,         // another process held it for the whole wait
    kUnavailable,  // the lock file could not be made or locked (a read-only folder, say)
  };

  // Tries to take the lock at `lockPath` (creating the file) for up to `wait`, never longer.
  FileLock(std::string lockPath, std::chrono::milliseconds wait);
  // Removes the lock file and lets go of the lock.
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  State state() const { return m_state; }
  // Why the lock is not held, when it is not.
  const std::string& error() const { return m_error; }

 private:
  // After a try that found the lock held by another process: at the deadline, marks the lock
  // busy and says so (true); before it, waits a moment for the next try (false).
  bool GiveUp(std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds wait);

  std::string m_path;
  int m_fd = -1;
  State m_state = State::kUnavailable;
  std::string m_error;
};
