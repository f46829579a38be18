#include "render/scene.h"

#include <GL/gl.h>

#include "render/draw_node.h"
#include "render/guide_sphere.h"
#include "render/outline.h"
#include "render/projection.h"

bool DrawScene(const SceneFrame& frame) {
  if (frame.width <= 0 || frame.height <= 0 || frame.root == nullptr) return false;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  ApplyProjection(frame.camera, frame.width, frame.height);
  // The sphere goes first, so that the boxes, drawn with the depth test, hide the lines
  // behind them.
  if (frame.guideSphere) {
    DrawGuideSphere(frame.root, frame.camera, frame.width, frame.height);
  }
  DrawNode(frame.root);
  DrawPartOutline(frame.root, frame.outlined);
  return true;
}
