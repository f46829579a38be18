#include "render/material.h"

#include <GL/gl.h>

void SetMaterial(const double* colour) {
  glShadeModel(GL_SMOOTH);
  float v[4] = {static_cast<float>(colour[0]), static_cast<float>(colour[1]),
                static_cast<float>(colour[2]), 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, v);
  // Scaled in single precision, as the material is stored.
  for (int i = 0; i < 3; ++i)
    v[i] *= 0.2f;
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, v);
  v[0] = v[1] = v[2] = 0.0f;
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, v);
}
