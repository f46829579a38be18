// The resident memory of a process, for the checks that a long run keeps no memory.
#pragma once

#include <sys/types.h>

namespace tobrin_test {

// The resident set size of process `pid`, or of this process for 0, in KiB: VmRSS on Linux
// (linux/resident_memory.cpp), the working set on Windows (windows/resident_memory.cpp); -1 when it
// cannot be read.
long ResidentKiB(pid_t pid = 0);

}  // namespace tobrin_test
