// Projection and camera.
#pragma once

#include "model/part_node.h"
#include "render/camera.h"

constexpr double FIELD_OF_VIEW_Y = 45.0;  // degrees
constexpr double NEAR_PLANE = 1.0;
constexpr double FAR_PLANE = 1000.0;

// Multiplies the perspective for a width x height pixel area onto the current matrix (which
// the caller has made the projection matrix), then makes the model-view matrix current with
// only the camera in it, and sets the viewport to the whole area. Width and height must be
// positive; callers skip their work for an empty area.
void ApplyProjection(const Camera& camera, int width, int height);

// gluLookAt with the camera's eye, centre and up.
void LookAt(const Camera& camera);

// Replaces the current (model-view) matrix by the camera followed by the figure's pose,
// root->matrix, and sets the viewport to the width x height area: afterwards points are given
// in the figure's own frame.
void LoadFigureFrame(const Camera& camera, const PartNode* root, int width, int height);
