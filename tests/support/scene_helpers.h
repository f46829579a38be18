// Rendering helpers shared by the drawing, picking and view tests.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

#include "model/part_node.h"
#include "render/camera.h"
#include "render/projection.h"
#include "tests/support/figure_table.h"
#include "tests/support/matrix_checks.h"

namespace tobrin_test {

// The scene transform of a node: the product of the matrices from the root down to it.
inline void WorldMatrix(PartNode* root, const std::vector<int>& path, Matrix4 out) {
  CopyMatrix(root->matrix, out);
  PartNode* node = root;
  for (int index : path) {
    node = node->firstChild;
    for (int k = 0; k < index; ++k)
      node = node->next;
    Matrix4 temp;
    MultiplyMatrices(out, node->matrix, temp);
    CopyMatrix(temp, out);
  }
}

// Where a scene point appears in a width x height area seen through the camera: window x, and
// window y counted upwards. Uses GLU's own projection with the matrices the viewer sets.
inline std::array<double, 3> ProjectPoint(const Vec3& p, const Camera& camera, int width,
                                          int height) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  ApplyProjection(camera, width, height);
  double mv[16], proj[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  std::array<double, 3> w{};
  gluProject(p[0], p[1], p[2], mv, proj, viewport, &w[0], &w[1], &w[2]);
  return w;
}

// The client pixel (y downwards) that shows the centre of a part's front (+z) face.
inline std::array<int, 2> FrontFaceCentre(PartNode* root, const std::string& name,
                                          const Camera& camera, int width, int height) {
  Matrix4 world;
  WorldMatrix(root, PathOf(name), world);
  PartNode* node = Part(root, name);
  const Vec3 p = Apply(world, {0, 0, 0.5 * node->size[2]});
  const auto w = ProjectPoint(p, camera, width, height);
  return {static_cast<int>(std::lround(w[0])), height - static_cast<int>(std::lround(w[1]))};
}

}  // namespace tobrin_test
