// The arcball's wire-frame guide sphere.
#pragma once

#include "model/part_node.h"
#include "render/camera.h"

struct GLUquadric;

inline constexpr double GUIDE_SPHERE_RADIUS = 2.8;
inline constexpr int GUIDE_SPHERE_SLICES = 10;
inline constexpr int GUIDE_SPHERE_STACKS = 10;

// Owns a GLU quadric set to draw lines. A quadric is plain memory, not a GL object, so it may
// be made and freed with or without a current context.
class GuideQuadric {
 public:
  GuideQuadric();
  ~GuideQuadric();
  GuideQuadric(const GuideQuadric&) = delete;
  GuideQuadric& operator=(const GuideQuadric&) = delete;
  GLUquadric* get() const { return quadric_; }

 private:
  GLUquadric* quadric_;
};

// Draws the guide sphere around the figure whose pose is root->matrix: unlit lines in the
// current colour, centred 0.25 below the figure's origin, its poles on the figure's y axis.
// Culling and lighting are switched off around it and on again after.
void DrawGuideSphere(GLUquadric* quadric, const PartNode* root, const Camera& camera, int width,
                     int height);
