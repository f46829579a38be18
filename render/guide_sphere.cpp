#include "render/guide_sphere.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <new>

#include "render/projection.h"

GuideQuadric::GuideQuadric() : quadric_(gluNewQuadric()) {
  if (quadric_ == nullptr) throw std::bad_alloc();
  gluQuadricDrawStyle(quadric_, GLU_LINE);
}

GuideQuadric::~GuideQuadric() {
  gluDeleteQuadric(quadric_);
}

GuideSphereList::GuideSphereList(GLUquadric* quadric) {
  glNewList(GUIDE_SPHERE_LIST, GL_COMPILE);
  gluSphere(quadric, GUIDE_SPHERE_RADIUS, GUIDE_SPHERE_SLICES, GUIDE_SPHERE_STACKS);
  glEndList();
}

GuideSphereList::~GuideSphereList() {
  glDeleteLists(GUIDE_SPHERE_LIST, 1);
}

void DrawGuideSphere(const PartNode* root, const Camera& camera, int width, int height) {
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  LoadFigureFrame(camera, root, width, height);
  glTranslated(0.0, -0.25, 0.0);
  glRotated(90.0, 1.0, 0.0, 0.0);
  glCallList(GUIDE_SPHERE_LIST);
  glPopMatrix();
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
}
