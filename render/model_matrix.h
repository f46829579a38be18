// The model's matrices on OpenGL's matrix stack.
#pragma once

#include "model/matrix.h"

// Multiplies a model matrix onto the current OpenGL matrix, put into OpenGL's element order.
void MultiplyMatrix(const Matrix4 m);
