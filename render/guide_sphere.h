// The arcball's wire-frame guide sphere.
#pragma once

#include "model/part_node.h"
#include "render/camera.h"

struct GLUquadric;

// A fixed list name, next to the cube's.
inline constexpr unsigned int GUIDE_SPHERE_LIST = 2;
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

// Owns GUIDE_SPHERE_LIST: the sphere of radius 2.8, 10 slices and 10 stacks, drawn by the
// quadric (in its draw style), compiled once on construction and deleted on destruction. The
// context must be current at both times. Drawn from a list rather than by the quadric each
// frame: besides costing one call, this keeps Mesa from holding on to memory for every
// immediate-mode sphere drawn after the context has been in feedback mode.
class GuideSphereList {
 public:
  explicit GuideSphereList(GLUquadric* quadric);
  ~GuideSphereList();
  GuideSphereList(const GuideSphereList&) = delete;
  GuideSphereList& operator=(const GuideSphereList&) = delete;
};

// Draws GUIDE_SPHERE_LIST around the figure whose pose is root->matrix: unlit lines in the
// current colour, centred 0.25 below the figure's origin, its poles on the figure's y axis.
// Culling and lighting are switched off around it and on again after.
void DrawGuideSphere(const PartNode* root, const Camera& camera, int width, int height);
