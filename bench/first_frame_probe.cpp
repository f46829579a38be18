// A program that takes its buffer swap as Wine does, for the test of the first-frame shim: it
// looks glXGetProcAddressARB up in a library's own handle (here its own: it exports its
// symbols) and the swap through that, so no binding by name ever reaches the swap. Its
// stand-in swap writes "swap N" to standard output; after the number of swaps given as its
// argument (default 1) it writes "done" and ends.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using AnyFunction = void (*)();
using GetProc = AnyFunction (*)(const unsigned char*);
using Swap = void (*)(void*, unsigned long);

int swaps = 0;

void StandInSwap(void*, unsigned long) {
  std::printf("swap %d\n", ++swaps);
  std::fflush(stdout);
}

}  // namespace

extern "C" AnyFunction glXGetProcAddressARB(const unsigned char* name) {
  return std::strcmp(reinterpret_cast<const char*>(name), "glXSwapBuffers") == 0
             ? reinterpret_cast<AnyFunction>(&StandInSwap)
             : nullptr;
}

int main(int argc, char** argv) {
  void* self = dlopen(nullptr, RTLD_NOW);
  const auto getProc = reinterpret_cast<GetProc>(dlsym(self, "glXGetProcAddressARB"));
  if (getProc == nullptr) return 2;
  const auto swap =
      reinterpret_cast<Swap>(getProc(reinterpret_cast<const unsigned char*>("glXSwapBuffers")));
  const int n = argc > 1 ? std::atoi(argv[1]) : 1;
  for (int i = 0; i < n; ++i)
    swap(nullptr, 0);
  std::printf("done\n");
  return 0;
}
