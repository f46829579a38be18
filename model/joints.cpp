#include "model/joints.h"

namespace {

// Turns the node about its joint: matrix := matrix x T(pivot) x R x T(-pivot), where R is the
// turn about the x axis by the step's angle.
void TurnAboutPivot(PartNode* n, const Matrix4 rotation) {
  Matrix4 joint;
  MakeTurnAbout(joint, rotation, n->pivot[0], n->pivot[1], n->pivot[2]);
  MultiplyMatrices(n->matrix, joint, n->matrix);
}

void BendChain(PartNode* node, double delta, const Matrix4 rotation) {
  for (PartNode* n = node; n != nullptr; n = n->next) {
    if (n->selected) {
      const double bent = n->angle + delta;
      if (bent < n->maxAngle && n->minAngle < bent) {
        TurnAboutPivot(n, rotation);
        n->angle = bent;
      }
    }
    BendChain(n->firstChild, delta, rotation);
  }
}

}  // namespace

void BendJoints(PartNode* node, double delta) {
  // Every joint turns by the same angle about its own x axis: one rotation serves them all,
  // so the sine and cosine are taken once per step rather than once per joint.
  Matrix4 rotation;
  MakeRotation(rotation, delta, 1.0, 0.0, 0.0);
  BendChain(node, delta, rotation);
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
