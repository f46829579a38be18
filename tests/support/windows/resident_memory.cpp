#include "tests/support/resident_memory.h"

#include <windows.h>

#include <psapi.h>

#include <memory>
#include <type_traits>

namespace tobrin_test {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

}  // namespace

long ResidentKiB(pid_t pid) {
  // The process's own pseudo handle needs no closing; another process's handle does.
  std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser> other;
  HANDLE process = GetCurrentProcess();
  if (pid != 0) {
    other.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE,
                            static_cast<DWORD>(pid)));
    if (!other) return -1;
    process = other.get();
  }
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  return static_cast<long>(counters.WorkingSetSize / 1024);
}

}  // namespace tobrin_test
