#include "render/outline.h"

#include <GL/gl.h>

#include "render/cube_list.h"
#include "render/model_matrix.h"

namespace {

// Multiplies the matrices from `node` down to `part` and draws the outline there; true when
// the part was found in this chain.
bool OutlineBelow(const PartNode* node, const PartNode* part) {
  for (; node != nullptr; node = node->next) {
    glPushMatrix();
    MultiplyMatrix(node->matrix);
    bool found = node == part;
    if (found) {
      glScaled(node->size[0] * OUTLINE_SCALE, node->size[1] * OUTLINE_SCALE,
               node->size[2] * OUTLINE_SCALE);
      glCallList(CUBE_LIST);
    } else {
      found = OutlineBelow(node->firstChild, part);
    }
    glPopMatrix();
    if (found) return true;
  }
  return false;
}

}  // namespace

void DrawPartOutline(const PartNode* root, const PartNode* part) {
  if (root == nullptr || part == nullptr) return;
  glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glLineWidth(2.0f);
  glColor3dv(OUTLINE_COLOUR);
  OutlineBelow(root, part);
  glPopAttrib();
}
