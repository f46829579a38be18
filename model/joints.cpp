#include "model/joints.h"

namespace {

// Turns the node by delta about its joint: matrix := matrix x T(pivot) x R(delta) x T(-pivot).
void TurnAboutPivot(PartNode* n, double delta) {
  Matrix4 rotation, toPivot, fromPivot, temp, joint;
  MakeRotation(rotation, delta, 1.0, 0.0, 0.0);
  MakeTranslation(fromPivot, -n->pivot[0], -n->pivot[1], -n->pivot[2]);
  MakeTranslation(toPivot, n->pivot[0], n->pivot[1], n->pivot[2]);
  MultiplyMatrices(rotation, fromPivot, temp);
  MultiplyMatrices(toPivot, temp, joint);
  MultiplyMatrices(n->matrix, joint, temp);
  CopyMatrix(temp, n->matrix);
}

}  // namespace

void BendJoints(PartNode* node, double delta) {
  for (PartNode* n = node; n != nullptr; n = n->next) {
    if (n->selected) {
      const double bent = n->angle + delta;
      if (bent < n->maxAngle && n->minAngle < bent) {
        TurnAboutPivot(n, delta);
        n->angle = bent;
      }
    }
    BendJoints(n->firstChild, delta);
  }
}

void ResetJoints(PartNode* node) {
  for (PartNode* n = node; n != nullptr; n = n->next) {
    MakeTranslation(n->matrix, n->restOffset[0], n->restOffset[1], n->restOffset[2]);
    n->angle = 0.0;
    ResetJoints(n->firstChild);
  }
}

void ResetRootPose(PartNode* root) {
  if (root != nullptr) MakeIdentity(root->matrix);
}
