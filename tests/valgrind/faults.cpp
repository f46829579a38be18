// A program with the faults the memcheck tests must catch, one per argument, to check that
// valgrind's options, suppressions and exit status catch them for real.
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void* volatile g_sink = nullptr;

}  // namespace

int main(int argc, char** argv) {
  const char* fault = argc > 1 ? argv[1] : "none";
  if (std::strcmp(fault, "invalid-read") == 0) {
    int* block = static_cast<int*>(std::calloc(8, sizeof(int)));
    const int past = 7 + argc - 1;  // one past the end, out of the compiler's sight
    std::printf("%d\n", block[past]);
    std::free(block);
  } else if (std::strcmp(fault, "leak") == 0) {
    g_sink = std::malloc(4096);
    g_sink = nullptr;
  } else if (std::strcmp(fault, "uninitialised") == 0) {
    g_sink = std::malloc(sizeof(int));
    int* value = static_cast<int*>(g_sink);  // read back, so the compiler cannot see it is new
    if (*value == 42) std::puts("forty-two");
    std::free(value);
  }
  return 0;
}
