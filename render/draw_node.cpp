#include "render/draw_node.h"

#include <GL/gl.h>

#include "render/cube_list.h"
#include "render/material.h"

namespace {

void MultiplyNodeMatrix(const PartNode* node) {
  double gl[16];
  TransposeForGL(node->matrix, gl);
  glMultMatrixd(gl);
}

}  // namespace

void DrawNode(const PartNode* node) {
  glPushMatrix();
  switch (node->kind) {
    case NODE_GROUP:
      MultiplyNodeMatrix(node);
      break;
    case NODE_INSTANCE:
      MultiplyNodeMatrix(node);
      if (node->instance != nullptr) DrawNode(node->instance);
      break;
    case NODE_BOX:
      SetMaterial(node->selected ? SELECTED_COLOUR : node->colour);
      MultiplyNodeMatrix(node);
      glPushMatrix();
      glScaled(node->size[0], node->size[1], node->size[2]);
      glCallList(CUBE_LIST);
      glPopMatrix();
      break;
    default:
      break;  // an unknown kind draws nothing of its own
  }

  // The name of a child is its index; it replaces the previous child's name on the stack.
  glPushName(0);
  GLuint index = 0;
  for (const PartNode* child = node->firstChild; child != nullptr; child = child->next) {
    glPopName();
    glPushName(index++);
    DrawNode(child);
  }
  glPopName();
  glPopMatrix();
}
