// What both systems' locks do while another process holds the lock.
#include <string>
#include <thread>

#include "files/lock_file.h"
#include "i18n/translate.h"

bool FileLock::GiveUp(std::chrono::steady_clock::time_point deadline,
                      std::chrono::milliseconds wait) {
  if (std::chrono::steady_clock::now() >= deadline) {
    m_state = State::kBusy;
    m_error = m_path + ": " +
              Fill(Tr("held by another process for over %d ms"), {std::to_string(wait.count())});
    return true;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return false;
}
