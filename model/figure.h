// The figure as built: a humanoid of 17 boxes under one group node.
#pragma once

#include "model/part_node.h"

// Builds the whole figure and returns its root. Every node's matrix is the translation by its
// restOffset; nothing is selected and every angle is 0. Throws std::bad_alloc if memory runs
// out, having freed whatever it had built.
PartNodePtr BuildFigure();

// What people call a part of the figure that BuildFigure made under `root` ("left forearm"),
// or null for the root itself and for a node that is not one of its parts.
const char* FigurePartName(const PartNode* root, const PartNode* part);
