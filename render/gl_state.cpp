#include "render/gl_state.h"

#include <GL/gl.h>

void InitFixedState() {
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);

  glDepthFunc(GL_LEQUAL);
  glEnable(GL_DEPTH_TEST);

  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

  glLightfv(GL_LIGHT0, GL_AMBIENT, LIGHT_AMBIENT);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, LIGHT_DIFFUSE);
  glLightfv(GL_LIGHT0, GL_SPECULAR, LIGHT_SPECULAR);
  glLightfv(GL_LIGHT0, GL_POSITION, LIGHT_POSITION);
  glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1.0f);
  glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 1.0f);
  glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 1.0f);

  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
}
