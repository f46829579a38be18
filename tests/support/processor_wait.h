// How long a process has waited for a processor that other work held: on a busy machine this
// is time its answers take that is not its own doing.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tobrin_test {

// The time the threads of process `pid` now running have spent runnable but waiting for a
// processor, in milliseconds: the second field of each thread's schedstat. 0 where the kernel
// keeps no such count.
inline double ProcessorWaitMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double waitedNs = 0;
  std::error_code ignored;
  for (const auto& task : std::filesystem::directory_iterator(tasks, ignored)) {
    std::ifstream schedstat(task.path() / "schedstat");
    double runningNs = 0, waitingNs = 0;
    if (schedstat >> runningNs >> waitingNs) waitedNs += waitingNs;
  }
  return waitedNs / 1e6;
}

}  // namespace tobrin_test
