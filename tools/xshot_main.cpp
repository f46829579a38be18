// Writes a screenshot of an X window as PNG:  tobrin-xshot OUTPUT.png [WINDOW-ID]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/xshot.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [WINDOW-ID]\n", argv[0]);
    return 2;
  }
  const unsigned long window = argc == 3 ? std::strtoul(argv[2], nullptr, 0) : 0;
  RgbaImage image;
  std::string error;
  if (!GrabWindow(nullptr, window, &image, &error) || !WritePng(argv[1], image, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  return 0;
}
