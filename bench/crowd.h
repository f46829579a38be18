// Many figures under one root, for measuring how drawing and picking scale with the number of
// boxes. Built with the model's own operations: each figure is BuildFigure's torso subtree,
// moved by a translation and hung under one group node.
#pragma once

#include "model/part_node.h"

namespace tobrin_bench {

// Scene units of the grid cell that one figure takes: wider than its arms, taller than it
// stands.
inline constexpr double CROWD_CELL_WIDTH = 2.0;
inline constexpr double CROWD_CELL_HEIGHT = 5.0;

// The narrowest drawing area measured (500 x 453): the crowd is placed to fit it, and with it
// every wider area.
inline constexpr double CROWD_FIT_ASPECT = 500.0 / 453.0;

// Where BuildFigure's head centre sits above its torso's origin: shoulder bar, neck, then head
// offsets.
inline constexpr double HEAD_ABOVE_TORSO = 0.75 + 0.3 + 0.575;

struct Crowd {
  PartNodePtr root;  // a group node with `figures` children
  // Scene position of the first figure's head centre: a point that picking must hit.
  double head[3] = {0, 0, 0};
};

// `figures` figures on a grid centred on the view's axis, pushed back from the fixed camera
// just far enough that the whole grid is in view. A crowd of one is the figure as built, where
// BuildFigure puts it.
Crowd BuildCrowd(int figures);

// Boxes in the tree below `node`, `node` included, following instance links.
long CountBoxes(const PartNode* node);

}  // namespace tobrin_bench
