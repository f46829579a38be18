#include "render/cube_list.h"

#include <GL/gl.h>

namespace {

struct Face {
  double normal[3];
  double vertices[4][3];
};

constexpr Face kFaces[6] = {
    {{0, 0, 1}, {{-0.5, 0.5, 0.5}, {-0.5, -0.5, 0.5}, {0.5, -0.5, 0.5}, {0.5, 0.5, 0.5}}},
    {{1, 0, 0}, {{0.5, 0.5, 0.5}, {0.5, -0.5, 0.5}, {0.5, -0.5, -0.5}, {0.5, 0.5, -0.5}}},
    {{0, 0, -1}, {{0.5, 0.5, -0.5}, {0.5, -0.5, -0.5}, {-0.5, -0.5, -0.5}, {-0.5, 0.5, -0.5}}},
    {{-1, 0, 0}, {{-0.5, 0.5, -0.5}, {-0.5, -0.5, -0.5}, {-0.5, -0.5, 0.5}, {-0.5, 0.5, 0.5}}},
    {{0, 1, 0}, {{0.5, 0.5, 0.5}, {0.5, 0.5, -0.5}, {-0.5, 0.5, -0.5}, {-0.5, 0.5, 0.5}}},
    {{0, -1, 0}, {{-0.5, -0.5, -0.5}, {0.5, -0.5, -0.5}, {0.5, -0.5, 0.5}, {-0.5, -0.5, 0.5}}},
};

}  // namespace

void BuildCubeList() {
  glNewList(CUBE_LIST, GL_COMPILE);
  for (const Face& face : kFaces) {
    glBegin(GL_POLYGON);
    glNormal3dv(face.normal);
    for (const auto& v : face.vertices)
      glVertex3dv(v);
    glEnd();
  }
  glEndList();
}

void DeleteCubeList() {
  glDeleteLists(CUBE_LIST, 1);
}
