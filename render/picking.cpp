#include "render/picking.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/draw_node.h"
#include "render/projection.h"

namespace {

// Follows instance links to the node whose geometry and children are actually drawn.
PartNode* Resolve(PartNode* node) {
  // Bounded, so a malformed tree whose instances form a cycle cannot hang the pick.
  for (int hops = 0; node != nullptr && node->kind == NODE_INSTANCE && hops < 1000; ++hops) {
    if (node->instance == nullptr) break;
    node = node->instance;
  }
  return node;
}

// The node of a hit record's name path. The first name is the one pushed before drawing the
// root; each further name is a child index one level down. Null if the path leaves the tree.
PartNode* NodeOfNames(PartNode* root, const GLuint* names, GLuint count) {
  PartNode* node = Resolve(root);
  for (GLuint i = 1; i < count && node != nullptr; ++i) {
    PartNode* child = node->firstChild;
    for (GLuint k = 0; k < names[i] && child != nullptr; ++k)
      child = child->next;
    node = Resolve(child);
  }
  return node;
}

}  // namespace

PartNode* PickPart(PartNode* root, const Camera& camera, int width, int height, int x, int y) {
  if (root == nullptr || width <= 0 || height <= 0) return nullptr;

  GLuint buffer[SELECTION_BUFFER_SIZE];
  glSelectBuffer(SELECTION_BUFFER_SIZE, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();

  // The viewport every frame of this area uses.
  GLint viewport[4] = {0, 0, width, height};
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // Window rows count upwards; the flip is the plain integer difference.
  gluPickMatrix(x, viewport[3] - y, 1.0, 1.0, viewport);
  ApplyProjection(camera, width, height);

  glMatrixMode(GL_MODELVIEW);
  glPushName(0);
  DrawNode(root);
  glPopName();

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);

  const GLint hits = glRenderMode(GL_RENDER);
  if (hits <= 0) return nullptr;  // no hit, or -1 when the buffer overflowed

  // The nearest record by minimum depth wins; of equal depths the earlier one keeps its
  // place. Its node is the candidate only if it is selectable.
  PartNode* candidate = nullptr;
  bool haveNearest = false;
  GLuint nearest = 0;
  GLuint pos = 0;
  for (GLint hit = 0; hit < hits; ++hit) {
    if (pos + 3 > SELECTION_BUFFER_SIZE) break;
    const GLuint count = buffer[pos];
    const GLuint zmin = buffer[pos + 1];
    if (count > SELECTION_BUFFER_SIZE - pos - 3) break;
    const GLuint* names = buffer + pos + 3;
    pos += 3 + count;
    if (haveNearest && !(zmin < nearest)) continue;
    haveNearest = true;
    nearest = zmin;
    PartNode* node = NodeOfNames(root, names, count);
    candidate = (node != nullptr && node->selectable) ? node : nullptr;
  }
  if (candidate != nullptr) candidate->selected = !candidate->selected;
  return candidate;
}

int ProjectOrigin(const PartNode* root, const Camera& camera, int width, int height, float out[2]) {
  if (root == nullptr || width <= 0 || height <= 0) return 0;

  GLfloat buffer[FEEDBACK_BUFFER_SIZE];
  glFeedbackBuffer(FEEDBACK_BUFFER_SIZE, GL_2D, buffer);
  glRenderMode(GL_FEEDBACK);

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  ApplyProjection(camera, width, height);

  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  LoadFigureFrame(camera, root, width, height);

  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glBegin(GL_POINTS);
  glNormal3d(0.0, 0.0, 1.0);
  glVertex3d(0.0, 0.0, 0.0);
  glEnd();
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  glFlush();

  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);

  const GLint count = glRenderMode(GL_RENDER);
  if (count >= 3 && buffer[0] == static_cast<GLfloat>(GL_POINT_TOKEN)) {
    out[0] = buffer[1];
    out[1] = buffer[2];
    return 1;
  }
  return 0;
}
