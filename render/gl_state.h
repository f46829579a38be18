// The fixed OpenGL state of the viewer: face culling, depth test, clear colour and the one
// light. Set once, right after the context is made current; it holds for the context's life.
#pragma once

// Light 0, a directional light from (1, 3, 8) fixed relative to the eye.
inline constexpr float LIGHT_AMBIENT[4] = {0.2f, 0.2f, 0.2f, 1.0f};
inline constexpr float LIGHT_DIFFUSE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr float LIGHT_SPECULAR[4] = {0.0f, 0.0f, 0.0f, 1.0f};
inline constexpr float LIGHT_POSITION[4] = {1.0f, 3.0f, 8.0f, 0.0f};

// Sets the fixed state: counter-clockwise front faces, back faces culled, depth test with
// GL_LEQUAL, black clear colour, light 0 and lighting on. The model-view matrix must be the
// identity (as in a new context), since the light's direction is given in eye coordinates.
// Normal renormalisation, colour tracking, the light model and the current colour stay at
// OpenGL's defaults on purpose: a box's shading depends on its size.
void InitFixedState();
