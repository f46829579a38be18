#include "tools/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace {

// Keeps Mesa's driver modules loaded until the process ends. eglTerminate unloads them, after
// which a leak report at exit could only say "unknown module" for the driver's own
// allocations; pinned, the reports name the driver and can be told apart from ours.
void PinDriverModules() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "/dri/") != nullptr) {
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}

}  // namespace

std::unique_ptr<HeadlessGL> HeadlessGL::Create(int width, int height, std::string* error) {
  std::unique_ptr<HeadlessGL> gl(new HeadlessGL);
  const auto fail = [&](const char* what) {
    if (error != nullptr) *error = what;
    return nullptr;
  };
  // No display where EGL lacks Mesa's surfaceless platform.
  gl->display_ = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (gl->display_ == EGL_NO_DISPLAY) return fail("EGL has no surfaceless Mesa platform");
  if (!eglInitialize(gl->display_, nullptr, nullptr)) return fail("eglInitialize failed");
  if (!eglBindAPI(EGL_OPENGL_API)) return fail("EGL cannot bind desktop OpenGL");
  // Attribute and value pairs.
  // clang-format off
  const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                               EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24,
                               EGL_NONE};
  // clang-format on
  EGLint count = 0;
  if (!eglChooseConfig(gl->display_, attributes, &gl->config_, 1, &count) || count < 1)
    return fail("no EGL configuration with RGB 8-8-8 and a 24-bit depth buffer");
  // No attributes: the default context is a compatibility profile.
  gl->context_ = eglCreateContext(gl->display_, gl->config_, EGL_NO_CONTEXT, nullptr);
  if (gl->context_ == EGL_NO_CONTEXT) return fail("eglCreateContext failed");
  if (!gl->Resize(width, height)) return fail("cannot create or bind the pbuffer");
  PinDriverModules();
  return gl;
}

HeadlessGL::~HeadlessGL() {
  if (display_ == EGL_NO_DISPLAY) return;
  ReleaseCurrent();
  if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
  if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
  eglTerminate(display_);
  eglReleaseThread();
}

bool HeadlessGL::Resize(int width, int height) {
  // A pbuffer cannot be empty; a 0-pixel area still gets a 1-pixel surface to stay current.
  const EGLint attributes[] = {EGL_WIDTH, width > 0 ? width : 1, EGL_HEIGHT,
                               height > 0 ? height : 1, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display_, config_, attributes);
  if (surface == EGL_NO_SURFACE) return false;
  if (!eglMakeCurrent(display_, surface, surface, context_)) {
    eglDestroySurface(display_, surface);
    return false;
  }
  if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
  surface_ = surface;
  width_ = width;
  height_ = height;
  return true;
}

bool HeadlessGL::MakeCurrent() {
  return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

void HeadlessGL::ReleaseCurrent() {
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void HeadlessGL::Swap() {
  eglSwapBuffers(display_, surface_);
  // A pbuffer has nothing to present, so nothing waits for the frame: frames drawn in a loop
  // would queue up in the driver without end, as they never do behind a window, whose swap
  // copies the finished frame out. Finishing here stands in for that.
  glFinish();
}

std::vector<unsigned char> HeadlessGL::ReadPixels() const {
  const int w = width_ > 0 ? width_ : 1, h = height_ > 0 ? height_ : 1;
  std::vector<unsigned char> bottomUp(static_cast<size_t>(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<unsigned char> topDown(bottomUp.size());
  const size_t row = static_cast<size_t>(w) * 4;
  for (int y = 0; y < h; ++y)
    std::memcpy(&topDown[y * row], &bottomUp[(h - 1 - y) * row], row);
  return topDown;
}
