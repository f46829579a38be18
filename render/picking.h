// Questions the mouse asks of the rendered scene, answered by OpenGL's selection and feedback
// modes. Both need the viewer's context current; both leave it in GL_RENDER mode with the
// projection matrix as it was, culling and lighting on, and the model-view matrix current
// holding only the camera.
#pragma once

#include "model/part_node.h"
#include "render/camera.h"

inline constexpr int SELECTION_BUFFER_SIZE = 1000;  // unsigned 32-bit entries
inline constexpr int FEEDBACK_BUFFER_SIZE = 500;    // floats

// The part of the figure under client pixel (x, y) (y downwards) of a width x height drawing
// area, seen through `camera`: the figure is drawn in selection mode through a one-pixel pick
// region and the nearest hit wins. What is seen is what is picked: when the nearest hit is on
// a part that cannot be selected (the torso, shoulders or hips), it blocks the pick. If the
// nearest part is selectable its `selected` flag is inverted and the part returned; otherwise,
// and for no hit, a selection buffer overflow or an empty area, nothing changes and the result
// is null. Hits inside a tree drawn through an instance node resolve through the referenced
// tree.
PartNode* PickPart(PartNode* root, const Camera& camera, int width, int height, int x, int y);

// Projects the figure's origin (the origin of root->matrix) through `camera` onto a width x
// height drawing area, in feedback mode. On success writes window x and y (pixels, y upwards
// from the bottom edge) to out[0] and out[1] and returns 1. If the origin is clipped away
// (outside the view volume or behind the eye), or the area is empty, returns 0 and leaves
// `out` untouched.
int ProjectOrigin(const PartNode* root, const Camera& camera, int width, int height, float out[2]);
