#include "render/model_matrix.h"

#include <GL/gl.h>

void MultiplyMatrix(const Matrix4 m) {
  double gl[16];
  TransposeForGL(m, gl);
  glMultMatrixd(gl);
}
