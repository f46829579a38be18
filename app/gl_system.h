// What the OpenGL canvas needs of the window system, in files named for it: GLX on X11, WGL on
// Windows.
#pragma once

#include <wx/glcanvas.h>

#include <memory>
#include <vector>

#include "view/view_host.h"

// Empty when the display offers OpenGL at all; otherwise why not, in words for the user. Asked
// before any window is made: the toolkit's own checks fail on assertions without OpenGL.
wxString OpenGLMissingReason();

// A context for the canvas, made current, or null when none that can draw can be made.
std::unique_ptr<GLContext> CreateWindowContext(wxGLCanvas& canvas);

// The pixel format of the canvas, with its context current.
PixelFormatDescription DescribeWindowPixelFormat(wxGLCanvas& canvas);

// A logical palette with these entries, selected into the canvas; null where windows take none.
std::unique_ptr<HostPalette> CreateWindowPalette(wxGLCanvas& canvas,
                                                 const std::vector<PaletteEntry>& entries);
