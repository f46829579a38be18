// WGL on a hidden window of its own: a popup (no frame, so all of it is client area) that is
// never shown, with a double-buffered RGBA pixel format and a 24-bit depth buffer. Frames are
// drawn into its back buffer and read from there.
#include "harness/headless_gl.h"

#include <windows.h>

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr wchar_t kClassName[] = L"TobrinHeadlessGL";

// The window class, registered once in the process and unregistered at its end.
class WindowClass {
 public:
  WindowClass() {
    WNDCLASSW wc = {};
    wc.style = CS_OWNDC;  // one device context for the window's life, as OpenGL wants
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    registered_ = RegisterClassW(&wc) != 0;
  }
  ~WindowClass() {
    if (registered_) UnregisterClassW(kClassName, GetModuleHandleW(nullptr));
  }
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  bool registered() const { return registered_; }

 private:
  bool registered_ = false;
};

bool RegisterWindowClass() {
  static const WindowClass windowClass;
  return windowClass.registered();
}

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
struct DCReleaser {
  HWND window;
  void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
struct ContextDeleter {
  void operator()(HGLRC context) const { wglDeleteContext(context); }
};

// A window of no pixels has no surface to draw into: an empty area still gets a 1-pixel
// window, as it gets a 1-pixel pbuffer on Linux.
int AtLeastOne(int n) {
  return std::max(n, 1);
}

// True when the window's client area, where OpenGL draws, has the size: a window may be kept
// from the size it was given.
bool HasClientSize(HWND window, int width, int height) {
  RECT client;
  return GetClientRect(window, &client) && client.right - client.left == AtLeastOne(width) &&
         client.bottom - client.top == AtLeastOne(height);
}

}  // namespace

// Declared in the order of their making, so destroyed the other way round: the context first,
// the window last.
struct HeadlessGL::Handles {
  std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window;
  std::unique_ptr<std::remove_pointer_t<HDC>, DCReleaser> dc{nullptr, {nullptr}};
  std::unique_ptr<std::remove_pointer_t<HGLRC>, ContextDeleter> context;
};

HeadlessGL::HeadlessGL() : handles_(std::make_unique<Handles>()) {}

std::unique_ptr<HeadlessGL> HeadlessGL::Create(int width, int height, std::string* error) {
  std::unique_ptr<HeadlessGL> gl(new HeadlessGL);
  Handles& h = *gl->handles_;
  const auto fail = [&](const char* what) {
    const DWORD code = GetLastError();
    if (error != nullptr)
      *error = what + (code != 0 ? " (system error " + std::to_string(code) + ")" : "");
    return nullptr;
  };
  if (!RegisterWindowClass()) return fail("cannot register the window class");
  h.window.reset(CreateWindowExW(0, kClassName, L"Tobrin headless OpenGL", WS_POPUP, 0, 0,
                                 AtLeastOne(width), AtLeastOne(height), nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
  if (!h.window) return fail("CreateWindowEx failed");
  if (!HasClientSize(h.window.get(), width, height)) return fail("the window has another size");
  h.dc = {GetDC(h.window.get()), {h.window.get()}};
  if (!h.dc) return fail("GetDC failed");

  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  // A swap that copies, where a driver offers the choice, leaves the frame in the back buffer
  // to be read, as the pbuffer on Linux keeps it. (Mesa's does so anyway.)
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_SWAP_COPY;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 24;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(h.dc.get(), &pfd);
  if (format == 0 || DescribePixelFormat(h.dc.get(), format, sizeof pfd, &pfd) == 0)
    return fail("no pixel format for OpenGL");
  // The nearest format may lack what was asked for: the frames need all of it.
  const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  if ((pfd.dwFlags & needed) != needed || pfd.iPixelType != PFD_TYPE_RGBA || pfd.cRedBits < 8 ||
      pfd.cGreenBits < 8 || pfd.cBlueBits < 8 || pfd.cDepthBits < 24) {
    return fail("no double-buffered pixel format with RGB 8-8-8 and a 24-bit depth buffer");
  }
  if (!SetPixelFormat(h.dc.get(), format, &pfd)) return fail("SetPixelFormat failed");
  h.context.reset(wglCreateContext(h.dc.get()));
  if (!h.context) return fail("wglCreateContext failed");
  if (!gl->MakeCurrent()) return fail("wglMakeCurrent failed");
  if (glGetString(GL_VERSION) == nullptr) return fail("the context has no OpenGL behind it");
  gl->width_ = width;
  gl->height_ = height;
  return gl;
}

HeadlessGL::~HeadlessGL() {
  if (wglGetCurrentContext() == handles_->context.get()) ReleaseCurrent();
}

bool HeadlessGL::Resize(int width, int height) {
  if (!SetWindowPos(handles_->window.get(), nullptr, 0, 0, AtLeastOne(width), AtLeastOne(height),
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) ||
      !HasClientSize(handles_->window.get(), width, height)) {
    return false;
  }
  // The driver takes a window's new size at its next buffer swap (Mesa under Wine only then):
  // swapping the last frame out to the hidden window has the surface take it now, as a new
  // pbuffer would. What the back buffer then holds is undefined, as a new pbuffer's is.
  if (!MakeCurrent()) return false;
  SwapBuffers(handles_->dc.get());
  width_ = width;
  height_ = height;
  return true;
}

bool HeadlessGL::MakeCurrent() {
  return wglMakeCurrent(handles_->dc.get(), handles_->context.get()) == TRUE;
}

void HeadlessGL::ReleaseCurrent() {
  wglMakeCurrent(nullptr, nullptr);
}

void HeadlessGL::Swap() {
  SwapBuffers(handles_->dc.get());
  // Nothing waits for a hidden window's frame: finished here, as on Linux, frames drawn in a
  // loop cannot queue up in the driver.
  glFinish();
}
