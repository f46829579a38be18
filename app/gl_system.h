// What the OpenGL canvas needs of the window system, in files named for it: GLX on X11, WGL on
// Windows.
#pragma once

#include <wx/glcanvas.h>

#include <memory>
#include <vector>

#include "view/view_host.h"

// Empty when the display may offer OpenGL with the pixel format `format`; otherwise why not, in
// words for the user. Asked before any window is made. Where the answer would cost a window and
// a context of its own (Windows), it is left to the canvas's first context, whose failure is
// reported then.
wxString OpenGLMissingReason(const wxGLAttributes& format);

// A context for the canvas, made current, or null when the system refuses one.
std::unique_ptr<wxGLContext> CreateCurrentContext(wxGLCanvas& canvas);

// Leaves no context current on this thread, so that the current one can be deleted.
void ReleaseCurrentContext();

// Whether the window's OpenGL surface can take a size change only after the paint that follows
// it, which then draws at the old size: where it can, the canvas paints once more when the
// toolkit is next idle after a size change.
bool SurfaceMayLagResize();

// The pixel format of the canvas, with its context current.
PixelFormatDescription DescribeWindowPixelFormat(wxGLCanvas& canvas);

// A logical palette with these entries, selected into the canvas; null where windows take none.
std::unique_ptr<HostPalette> CreateWindowPalette(wxGLCanvas& canvas,
                                                 const std::vector<PaletteEntry>& entries);
