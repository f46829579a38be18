// An OpenGL context that shows nothing, for tests, benchmarks and snapshots: a
// compatibility-profile desktop GL context (so selection and feedback modes work) drawing into
// a surface of its own. On Linux (linux/headless_gl.cpp) that is EGL on Mesa's surfaceless platform
// with a pbuffer, without any window system; on Windows (windows/headless_gl.cpp) WGL on a hidden
// window.
#pragma once

#include <memory>
#include <string>
#include <vector>

class HeadlessGL {
 public:
  // Creates the context with a width x height surface and makes it current. Returns null and
  // sets *error when the system's OpenGL or a suitable configuration is not available.
  static std::unique_ptr<HeadlessGL> Create(int width, int height, std::string* error);
  ~HeadlessGL();
  HeadlessGL(const HeadlessGL&) = delete;
  HeadlessGL& operator=(const HeadlessGL&) = delete;

  // Gives the surface the new size; the context, and with it display lists, stays. Returns
  // false if the surface cannot be made.
  bool Resize(int width, int height);
  bool MakeCurrent();
  void ReleaseCurrent();
  void Swap();  // the end of a frame: the buffer swap, finished as a window's swap would be

  // The pixels of the current read buffer as RGBA rows, top row first. The last frame stays
  // there through its Swap.
  std::vector<unsigned char> ReadPixels() const;

 private:
  struct Handles;  // the system's objects, defined by each implementation

  HeadlessGL();
  std::unique_ptr<Handles> handles_;
  int width_ = 0;
  int height_ = 0;
};
