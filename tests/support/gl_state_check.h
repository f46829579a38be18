// What drawing, picking and projecting must leave of OpenGL's state, as text for a check to
// print.
#pragma once

#include <GL/gl.h>

#include <sstream>
#include <string>

namespace tobrin_test {

// The errors OpenGL recorded since the last call, as text; empty when there were none.
inline std::string GLErrors() {
  std::string errors;
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
    errors += (errors.empty() ? "" : ", ") + std::to_string(e);
  return errors;
}

// Empty when OpenGL is in render mode with the model-view matrix current, both matrix stacks
// at depth 1, no names pushed, culling and lighting on and no error pending; otherwise what
// differs. Reading the errors clears them.
inline std::string GLStateProblems() {
  std::ostringstream problems;
  GLint v = 0;
  glGetIntegerv(GL_RENDER_MODE, &v);
  if (v != GL_RENDER) problems << "render mode " << v << "; ";
  glGetIntegerv(GL_MATRIX_MODE, &v);
  if (v != GL_MODELVIEW) problems << "matrix mode " << v << "; ";
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &v);
  if (v != 1) problems << "model-view stack depth " << v << "; ";
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &v);
  if (v != 1) problems << "projection stack depth " << v << "; ";
  glGetIntegerv(GL_NAME_STACK_DEPTH, &v);
  if (v != 0) problems << "name stack depth " << v << "; ";
  if (!glIsEnabled(GL_CULL_FACE) || !glIsEnabled(GL_LIGHTING)) problems << "culling/lighting; ";
  if (const std::string errors = GLErrors(); !errors.empty()) problems << "GL errors " << errors;
  return problems.str();
}

}  // namespace tobrin_test
