#include "tests/support/resident_memory.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace tobrin_test {

long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + (pid == 0 ? "self" : std::to_string(pid)) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, 6, "VmRSS:") == 0) return std::atol(line.c_str() + 6);
  return -1;
}

}  // namespace tobrin_test
