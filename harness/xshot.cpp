#include "harness/xshot.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <memory>

namespace {

// The position of a colour mask's lowest bit.
int ShiftOf(unsigned long mask) {
  int shift = 0;
  for (; mask != 0 && (mask & 1) == 0; mask >>= 1)
    ++shift;
  return shift;
}

int SilentErrors(Display*, XErrorEvent*) {
  return 0;
}

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;

DisplayPtr Open(const char* name, std::string* error) {
  DisplayPtr display(XOpenDisplay(name), XCloseDisplay);
  if (display == nullptr) *error = "cannot open the display";
  return display;
}

// The window's client area in root coordinates.
bool Place(Display* display, Window window, WindowPlacement* placement) {
  auto previous = XSetErrorHandler(SilentErrors);
  XWindowAttributes attributes;
  Window child = 0;
  bool ok = XGetWindowAttributes(display, window, &attributes) != 0 &&
            XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &placement->x,
                                  &placement->y, &child) != 0;
  XSync(display, False);
  XSetErrorHandler(previous);
  placement->width = attributes.width;
  placement->height = attributes.height;
  return ok;
}

}  // namespace

bool PlaceWindow(const char* name, unsigned long window, WindowPlacement* placement,
                 std::string* error) {
  DisplayPtr display = Open(name, error);
  if (display == nullptr) return false;
  *placement = WindowPlacement();
  if (!Place(display.get(), window, placement)) {
    *error = "no such window";
    return false;
  }
  const Atom extents = XInternAtom(display.get(), "_NET_FRAME_EXTENTS", True);
  if (extents == 0) return true;
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display.get(), window, extents, 0, 4, False, XA_CARDINAL, &type, &format,
                         &items, &after, &data) == Success &&
      items == 4 && format == 32) {
    const long* v = reinterpret_cast<const long*>(data);  // format 32 comes as longs
    placement->left = static_cast<int>(v[0]);
    placement->right = static_cast<int>(v[1]);
    placement->top = static_cast<int>(v[2]);
    placement->bottom = static_cast<int>(v[3]);
  }
  if (data != nullptr) XFree(data);
  return true;
}

bool GrabWindow(const char* name, unsigned long window, RgbaImage* image, std::string* error) {
  DisplayPtr display = Open(name, error);
  if (display == nullptr) return false;
  const Window root = DefaultRootWindow(display.get());
  WindowPlacement area;
  if (!Place(display.get(), window != 0 ? window : root, &area)) {
    *error = "no such window";
    return false;
  }
  // Read from the screen, not from the window: that is what the user sees.
  WindowPlacement screen;
  Place(display.get(), root, &screen);
  const int x0 = std::max(area.x, 0), y0 = std::max(area.y, 0);
  const int x1 = std::min(area.x + area.width, screen.width);
  const int y1 = std::min(area.y + area.height, screen.height);
  image->width = area.width;
  image->height = area.height;
  image->pixels.assign(static_cast<size_t>(image->width) * image->height * 4, 0);
  for (size_t i = 3; i < image->pixels.size(); i += 4)
    image->pixels[i] = 255;
  if (x1 <= x0 || y1 <= y0) return true;
  auto previous = XSetErrorHandler(SilentErrors);
  XImage* ximage = XGetImage(display.get(), root, x0, y0, x1 - x0, y1 - y0, AllPlanes, ZPixmap);
  XSync(display.get(), False);
  XSetErrorHandler(previous);
  if (ximage == nullptr) {
    *error = "cannot read the screen's pixels";
    return false;
  }
  const int rs = ShiftOf(ximage->red_mask), gs = ShiftOf(ximage->green_mask),
            bs = ShiftOf(ximage->blue_mask);
  for (int y = 0; y < ximage->height; ++y) {
    for (int x = 0; x < ximage->width; ++x) {
      const unsigned long p = XGetPixel(ximage, x, y);
      const size_t at = static_cast<size_t>(y + y0 - area.y) * image->width + (x + x0 - area.x);
      unsigned char* out = &image->pixels[at * 4];
      out[0] = static_cast<unsigned char>((p & ximage->red_mask) >> rs);
      out[1] = static_cast<unsigned char>((p & ximage->green_mask) >> gs);
      out[2] = static_cast<unsigned char>((p & ximage->blue_mask) >> bs);
    }
  }
  XDestroyImage(ximage);
  return true;
}
