// What the view needs of the window it draws into. The application shell implements these
// for its OpenGL canvas; tests implement them to record what the view asks for.
#pragma once

#include <memory>
#include <vector>

#include "render/palette.h"

// The OpenGL rendering context of the view's window. Destroying it releases it (no context is
// current afterwards) and deletes it.
class GLContext {
 public:
  virtual ~GLContext() = default;
  virtual bool MakeCurrent() = 0;
  virtual void SwapBuffers() = 0;  // shows the back buffer
};

// A logical palette, created and selected into the view's window as a foreground palette.
// Destroying it deletes it.
class HostPalette {
 public:
  virtual ~HostPalette() = default;
  virtual int Realize() = 0;        // number of system palette entries changed
  virtual void UpdateColors() = 0;  // remaps the window's pixels to the system palette
};

class ViewHost {
 public:
  virtual ~ViewHost() = default;

  // Mouse capture: every pointer event goes to the view until released. Capturing while
  // captured, or releasing without a capture, does nothing.
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;

  // Asks for the whole drawing area to be painted again, without erasing it first. Requests
  // made before the paint are served by one paint.
  virtual void RequestRepaint() = 0;

  // Creates the window's rendering context: double-buffered RGBA with a depth buffer, a
  // compatibility profile, current on return. Null when the window offers no usable OpenGL.
  virtual std::unique_ptr<GLContext> CreateContext() = 0;

  // The pixel format the window's context was given.
  virtual PixelFormatDescription DescribePixelFormat() = 0;

  // Creates a logical palette with these entries and selects it into the window. Null when
  // the window cannot take one.
  virtual std::unique_ptr<HostPalette> CreatePalette(const std::vector<PaletteEntry>& entries) = 0;
};
