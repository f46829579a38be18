// Box materials.
#pragma once

// The colour a selected box is drawn in, laid out like a PartNode's colour.
inline constexpr double SELECTED_COLOUR[4] = {0.8, 0.0, 0.0, 1.0};

// Sets the material of both faces from a colour's first three values (red, green, blue in
// 0..1): diffuse the colour with alpha 1, ambient a fifth of it, emission black. Specular
// colour and shininess stay at OpenGL's defaults, so boxes have no highlights.
void SetMaterial(const double* colour);
