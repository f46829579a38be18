#include "render/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/model_matrix.h"

void LookAt(const Camera& c) {
  gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1],
            c.up[2]);
}

void ApplyProjection(const Camera& camera, int width, int height) {
  gluPerspective(FIELD_OF_VIEW_Y, static_cast<double>(width) / static_cast<double>(height),
                 NEAR_PLANE, FAR_PLANE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(0, 0, width, height);
  LookAt(camera);
}

void LoadFigureFrame(const Camera& camera, const PartNode* root, int width, int height) {
  glLoadIdentity();
  glViewport(0, 0, width, height);
  LookAt(camera);
  MultiplyMatrix(root->matrix);
}
