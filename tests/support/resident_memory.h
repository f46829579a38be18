// The resident memory of a process, for the checks that a long run keeps no memory.
#pragma once

#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tobrin_test {

// The resident set size (VmRSS) of process `pid`, or of this process for 0, in KiB; -1 when it
// cannot be read.
inline long ResidentKiB(pid_t pid = 0) {
  std::ifstream status("/proc/" + (pid == 0 ? "self" : std::to_string(pid)) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, 6, "VmRSS:") == 0) return std::atol(line.c_str() + 6);
  return -1;
}

}  // namespace tobrin_test
