// Streams of view events for randomized and fuzz tests: decoding, applying, and checking the
// invariants that must hold after every event.
#pragma once

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "tests/support/figure_table.h"
#include "tests/support/gl_state_check.h"
#include "view/tobrin_view.h"

namespace tobrin_test {

enum class EventKind : uint8_t {
  LeftDown,
  LeftUp,
  RightDown,
  RightUp,
  Move,
  CaptureLost,
  ModePosition,
  ModeOrientation,
  ModeJoints,
  Reset,
  ResetJoints,
  VisibleArcball,
  Size,
  Draw,
  Count
};

struct ViewEvent {
  EventKind kind;
  int x = 0;  // pointer, or width for Size
  int y = 0;  // pointer, or height for Size
};

// Applies one event the way the shell delivers it.
inline void ApplyEvent(CTobrinView& view, const ViewEvent& e) {
  switch (e.kind) {
    case EventKind::LeftDown:
      view.OnLButtonDown(e.x, e.y);
      break;
    case EventKind::LeftUp:
      view.OnLButtonUp(e.x, e.y);
      break;
    case EventKind::RightDown:
      view.OnRButtonDown(e.x, e.y);
      break;
    case EventKind::RightUp:
      view.OnRButtonUp(e.x, e.y);
      break;
    case EventKind::Move:
      view.OnMouseMove(e.x, e.y);
      break;
    case EventKind::CaptureLost:
      view.OnCaptureLost();
      break;
    case EventKind::ModePosition:
      view.OnModePosition();
      break;
    case EventKind::ModeOrientation:
      view.OnModeOrientation();
      break;
    case EventKind::ModeJoints:
      view.OnModeJoints();
      break;
    case EventKind::Reset:
      view.OnFileReset();
      break;
    case EventKind::ResetJoints:
      view.OnFileResetJoints();
      break;
    case EventKind::VisibleArcball:
      view.OnModeVisibleArcball();
      break;
    case EventKind::Size:
      view.OnSize(e.x, e.y);
      break;
    case EventKind::Draw:
      view.OnDraw();
      break;
    case EventKind::Count:
      break;
  }
}

inline bool Finite(const double* v, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

// The invariants of the view and its figure; an empty result when all hold.
inline std::string CheckViewInvariants(CTobrinView& view) {
  std::ostringstream problems;
  PartNode* root = view.m_pRoot.get();
  ForEachNode(root, [&](PartNode* n) {
    if (!Finite(n->matrix, 16) || !std::isfinite(n->angle)) problems << "non-finite node; ";
    if (n != root && n->maxAngle != 0.0 && !(n->minAngle < n->angle && n->angle < n->maxAngle)) {
      problems << "angle " << n->angle << " outside (" << n->minAngle << ", " << n->maxAngle
               << "); ";
    }
    if (n->maxAngle == 0.0 && n->angle != 0.0) problems << "a rigid node bent; ";
  });
  if (root != nullptr && (root->matrix[3] != view.m_dPosX || root->matrix[7] != view.m_dPosY ||
                          root->matrix[11] != view.m_dPosZ)) {
    problems << "origin (" << root->matrix[3] << ", " << root->matrix[7] << ", " << root->matrix[11]
             << ") is not the position (" << view.m_dPosX << ", " << view.m_dPosY << ", "
             << view.m_dPosZ << "); ";
  }
  const double fields[] = {view.m_dAspect,    view.m_dPosX,      view.m_dPosY,
                           view.m_dPosZ,      view.m_dAnchor[0], view.m_dAnchor[1],
                           view.m_dAnchor[2], view.m_fCentreX,   view.m_fCentreY};
  if (!Finite(fields, 9)) problems << "non-finite view field; ";
  if (view.m_nDragButton < DRAG_NONE || view.m_nDragButton > DRAG_RIGHT) problems << "drag; ";
  if (view.m_nMode < MODE_POSITION || view.m_nMode > MODE_JOINTS) problems << "mode; ";

  problems << GLStateProblems();
  return problems.str();
}

}  // namespace tobrin_test
