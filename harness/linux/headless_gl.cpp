#include "harness/headless_gl.h"

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

struct HeadlessGL::Handles {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  EGLContext context = EGL_NO_CONTEXT;
  EGLSurface surface = EGL_NO_SURFACE;
};

HeadlessGL::HeadlessGL() : handles_(std::make_unique<Handles>()) {}

std::unique_ptr<HeadlessGL> HeadlessGL::Create(int width, int height, std::string* error) {
  std::unique_ptr<HeadlessGL> gl(new HeadlessGL);
  Handles& h = *gl->handles_;
  const auto fail = [&](const char* what) {
    if (error != nullptr) *error = what;
    return nullptr;
  };
  // No display where EGL lacks Mesa's surfaceless platform.
  h.display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (h.display == EGL_NO_DISPLAY) return fail("EGL has no surfaceless Mesa platform");
  if (!eglInitialize(h.display, nullptr, nullptr)) return fail("eglInitialize failed");
  if (!eglBindAPI(EGL_OPENGL_API)) return fail("EGL cannot bind desktop OpenGL");
  // Attribute and value pairs.
  // clang-format off
  const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                               EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24,
                               EGL_NONE};
  // clang-format on
  EGLint count = 0;
  if (!eglChooseConfig(h.display, attributes, &h.config, 1, &count) || count < 1)
    return fail("no EGL configuration with RGB 8-8-8 and a 24-bit depth buffer");
  // No attributes: the default context is a compatibility profile.
  h.context = eglCreateContext(h.display, h.config, EGL_NO_CONTEXT, nullptr);
  if (h.context == EGL_NO_CONTEXT) return fail("eglCreateContext failed");
  if (!gl->Resize(width, height)) return fail("cannot create or bind the pbuffer");
  PinDriverModules();
  return gl;
}

HeadlessGL::~HeadlessGL() {
  const Handles& h = *handles_;
  if (h.display == EGL_NO_DISPLAY) return;
  ReleaseCurrent();
  if (h.surface != EGL_NO_SURFACE) eglDestroySurface(h.display, h.surface);
  if (h.context != EGL_NO_CONTEXT) eglDestroyContext(h.display, h.context);
  eglTerminate(h.display);
  eglReleaseThread();
}

bool HeadlessGL::Resize(int width, int height) {
  Handles& h = *handles_;
  // A pbuffer cannot be empty; a 0-pixel area still gets a 1-pixel surface to stay current.
  const EGLint attributes[] = {EGL_WIDTH, width > 0 ? width : 1, EGL_HEIGHT,
                               height > 0 ? height : 1, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(h.display, h.config, attributes);
  if (surface == EGL_NO_SURFACE) return false;
  if (!eglMakeCurrent(h.display, surface, surface, h.context)) {
    eglDestroySurface(h.display, surface);
    return false;
  }
  if (h.surface != EGL_NO_SURFACE) eglDestroySurface(h.display, h.surface);
  h.surface = surface;
  width_ = width;
  height_ = height;
  return true;
}

bool HeadlessGL::MakeCurrent() {
  return eglMakeCurrent(handles_->display, handles_->surface, handles_->surface,
                        handles_->context) == EGL_TRUE;
}

void HeadlessGL::ReleaseCurrent() {
  eglMakeCurrent(handles_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void HeadlessGL::Swap() {
  eglSwapBuffers(handles_->display, handles_->surface);
  // A pbuffer has nothing to present, so nothing waits for the frame: frames drawn in a loop
  // would queue up in the driver without end, as they never do behind a window, whose swap
  // copies the finished frame out. Finishing here stands in for that.
  glFinish();
}
