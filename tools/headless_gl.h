// An OpenGL context without any window system, for tests, benchmarks and snapshots: EGL on
// Mesa's surfaceless platform with a pbuffer, a compatibility-profile desktop GL context (so
// selection and feedback modes work).
#pragma once

#include <memory>
#include <string>
#include <vector>

class HeadlessGL {
 public:
  // Creates the context with a width x height pbuffer and makes it current. Returns null and
  // sets *error when EGL or a suitable configuration is not available.
  static std::unique_ptr<HeadlessGL> Create(int width, int height, std::string* error);
  ~HeadlessGL();
  HeadlessGL(const HeadlessGL&) = delete;
  HeadlessGL& operator=(const HeadlessGL&) = delete;

  // Replaces the pbuffer by one of the given size; the context, and with it display lists,
  // stays. Returns false if the surface cannot be made.
  bool Resize(int width, int height);
  bool MakeCurrent();
  void ReleaseCurrent();
  void Swap();  // the end of a frame: eglSwapBuffers, finished as a window's swap would be

  // The pixels of the current read buffer as RGBA rows, top row first.
  std::vector<unsigned char> ReadPixels() const;

 private:
  HeadlessGL() = default;
  void* display_ = nullptr;
  void* config_ = nullptr;
  void* context_ = nullptr;
  void* surface_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
