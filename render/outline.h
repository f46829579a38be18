// The keyboard cursor's mark: an outline around one box of the figure.
#pragma once

#include "model/part_node.h"

// Colour of the outline: white, which no part or the selection shows, lit or not (the guide
// sphere, also white, is drawn only outside Joints mode, where the cursor never shows).
inline constexpr double OUTLINE_COLOUR[3] = {1.0, 1.0, 1.0};

// Outline boxes are this much larger than the part, so that their edges clear its faces.
inline constexpr double OUTLINE_SCALE = 1.1;

// Draws the edges of `part`'s box, found below `root` along the tree (instance links are not
// followed), unlit and over everything drawn before, so a part hidden behind others still shows
// where the cursor is. The model-view matrix (the camera) and every other state is left as it
// was. Draws nothing when the part is not in the tree.
void DrawPartOutline(const PartNode* root, const PartNode* part);
