// One whole frame of the viewer.
#pragma once

#include "model/part_node.h"
#include "render/camera.h"

struct GLUquadric;

// What a frame is drawn from.
struct SceneFrame {
  const PartNode* root;  // the figure
  Camera camera;
  int width;  // drawing area, pixels
  int height;
  GLUquadric* guideSphere;  // the arcball's guide sphere, or null to leave it out
};

// Clears the buffers, sets projection and camera, draws the guide sphere (when given) and then
// the figure. The caller swaps the buffers. Returns false, drawing nothing, for an empty area
// (a minimised window): there is no finite projection for it.
bool DrawScene(const SceneFrame& frame);
