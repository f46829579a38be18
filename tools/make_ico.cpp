// Writes the Windows icon from the application's PNG icons:
//   tobrin-make-ico OUT.ico PNG32 PNG16
// PNG32 is the 32×32 icon (its colour and monochrome forms), PNG16 the 16×16 one. Run on the
// build host to regenerate res/windows/tobrin.ico after the PNGs change.
#include <cstdio>
#include <string>

#include "tools/ico_writer.h"
#include "tools/png_io.h"

namespace {

bool ReadIcon(const char* path, int size, RgbaImage* image) {
  std::string error;
  if (!ReadPng(path, image, &error)) {
    std::fprintf(stderr, "tobrin-make-ico: %s\n", error.c_str());
    return false;
  }
  if (image->width != size || image->height != size) {
    std::fprintf(stderr, "tobrin-make-ico: %s is %dx%d, not %dx%d\n", path, image->width,
                 image->height, size, size);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s OUT.ico PNG32 PNG16\n", argv[0]);
    return 2;
  }
  RgbaImage icon32;
  RgbaImage icon16;
  if (!ReadIcon(argv[2], 32, &icon32) || !ReadIcon(argv[3], 16, &icon16)) return 1;
  std::string error;
  if (!WriteBytes(argv[1], EncodeAppIco(icon32, icon16), &error)) {
    std::fprintf(stderr, "tobrin-make-ico: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
