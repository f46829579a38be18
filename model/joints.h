// Joint bending and the two resets.
#pragma once

#include "model/part_node.h"

// Bends every selected node of the sibling chain starting at `node`, and of every subtree
// below it, by `delta` angle units about its own joint: the line through its pivot parallel
// to its own x axis. A step is taken only if the node's angle stays strictly between its
// limits; otherwise that node's whole step is refused (never clamped). A null node does
// nothing.
void BendJoints(PartNode* node, double delta);

// Puts every node of the chain starting at `node`, and of every subtree below it, back to its
// rest placement (matrix := translation by restOffset) with angle 0. Selection is kept.
void ResetJoints(PartNode* node);

// Puts the figure's pose, the root's matrix, back to the identity.
void ResetRootPose(PartNode* root);
