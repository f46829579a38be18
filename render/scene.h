// One whole frame of the viewer.
#pragma once

#include "model/part_node.h"
#include "render/camera.h"

// What a frame is drawn from.
struct SceneFrame {
  const PartNode* root;  // the figure
  Camera camera;
  int width;  // drawing area, pixels
  int height;
  bool guideSphere;                    // draw the arcball's guide sphere (GUIDE_SPHERE_LIST)
  const PartNode* outlined = nullptr;  // the keyboard cursor's part, outlined over the figure
};

// Clears the buffers, sets projection and camera, draws the guide sphere (when given), the
// figure, and then the outline of the keyboard cursor's part (when given). The caller swaps the
// buffers. Returns false, drawing nothing, for an empty area (a minimised window): there is no
// finite projection for it.
bool DrawScene(const SceneFrame& frame);
