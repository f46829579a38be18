#include "tools/xshot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace {

int ShiftOf(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int SilentErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

bool GrabWindow(const char* name, unsigned long window, RgbaImage* image, std::string* error) {
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    *error = "cannot open the display";
    return false;
  }
  std::unique_ptr<Display, int (*)(Display*)> closer(display, XCloseDisplay);
  const Window target = window != 0 ? window : DefaultRootWindow(display);
  auto previous = XSetErrorHandler(SilentErrors);
  XWindowAttributes attributes;
  const bool ok = XGetWindowAttributes(display, target, &attributes) != 0;
  XImage* ximage =
      ok ? XGetImage(display, target, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap)
         : nullptr;
  XSync(display, False);
  XSetErrorHandler(previous);
  if (ximage == nullptr) {
    *error = "cannot read the window's pixels";
    return false;
  }
  image->width = ximage->width;
  image->height = ximage->height;
  image->pixels.assign(static_cast<size_t>(image->width) * image->height * 4, 255);
  const int rs = ShiftOf(ximage->red_mask), gs = ShiftOf(ximage->green_mask),
            bs = ShiftOf(ximage->blue_mask);
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long p = XGetPixel(ximage, x, y);
      unsigned char* out = &image->pixels[(static_cast<size_t>(y) * image->width + x) * 4];
      out[0] = static_cast<unsigned char>((p & ximage->red_mask) >> rs);
      out[1] = static_cast<unsigned char>((p & ximage->green_mask) >> gs);
      out[2] = static_cast<unsigned char>((p & ximage->blue_mask) >> bs);
    }
  }
  XDestroyImage(ximage);
  return true;
}
