// Drawing of the part tree.
#pragma once

#include "model/part_node.h"

// Draws the node and everything below it into the current context, each box as the scaled
// unit cube in its own colour or, when selected, in SELECTED_COLOUR. A node's matrix is
// multiplied onto the model-view matrix before its geometry; the scale applies to the cube
// only. While a node's geometry is drawn the name stack holds one child index per level below
// the node drawing started from, so selection-mode hits carry the path to the node. An
// instance node draws its referenced tree in its own place in that path. The model-view
// matrix is left as it was.
void DrawNode(const PartNode* node);
