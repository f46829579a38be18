#include "render/draw_node.h"

#include <GL/gl.h>

#include "render/cube_list.h"
#include "render/material.h"
#include "render/model_matrix.h"

void DrawNode(const PartNode* node) {
  glPushMatrix();
  switch (node->kind) {
    case NODE_GROUP:
      MultiplyMatrix(node->matrix);
      break;
    case NODE_INSTANCE:
      MultiplyMatrix(node->matrix);
      if (node->instance != nullptr) DrawNode(node->instance);
      break;
    case NODE_BOX:
      SetMaterial(node->selected ? SELECTED_COLOUR : node->colour);
      MultiplyMatrix(node->matrix);
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
