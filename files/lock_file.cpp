// What both systems' locks do while another process holds the lock.
#include <string>
#include <thread>

#include "files/lock_file.h"

bool FileLock::GiveUp(std::chrono::steady_clock::time_point deadline,
                      std::chrono::milliseconds wait) {
  if (std::chrono::steady_clock::now() >= deadline) {
    m_state = State::kBusy;
    m_error = m_path + ": held by another process for over " + std::to_string(wait.count()) + " ms";
    return true;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return false;
}
