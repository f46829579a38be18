// Driving a view with events, as the shell delivers them: single events for the randomized
// and fuzz tests, drags and a whole posing of the figure for the others, and the invariants that
// must hold after every event.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
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
  Key,  // x: the ViewKey (taken modulo their number), y: Shift when odd
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
      return view.OnLButtonDown(e.x, e.y);
    case EventKind::LeftUp:
      return view.OnLButtonUp(e.x, e.y);
    case EventKind::RightDown:
      return view.OnRButtonDown(e.x, e.y);
    case EventKind::RightUp:
      return view.OnRButtonUp(e.x, e.y);
    case EventKind::Move:
      return view.OnMouseMove(e.x, e.y);
    case EventKind::CaptureLost:
      return view.OnCaptureLost();
    case EventKind::ModePosition:
      return view.OnModePosition();
    case EventKind::ModeOrientation:
      return view.OnModeOrientation();
    case EventKind::ModeJoints:
      return view.OnModeJoints();
    case EventKind::Reset:
      return view.OnFileReset();
    case EventKind::ResetJoints:
      return view.OnFileResetJoints();
    case EventKind::VisibleArcball:
      return view.OnModeVisibleArcball();
    case EventKind::Size:
      return view.OnSize(e.x, e.y);
    case EventKind::Draw:
      return view.OnDraw();
    case EventKind::Key: {
      const int key = (e.x % (KEY_SPACE + 1) + KEY_SPACE + 1) % (KEY_SPACE + 1);
      view.OnKeyDown(static_cast<ViewKey>(key), e.y % 2 != 0);
      return;
    }
    case EventKind::Count:
      return;
  }
}

// A drag with the left button: a press at (x0, y0), a move to (x1, y1) and the release there.
inline void LeftDrag(CTobrinView& view, int x0, int y0, int x1, int y1) {
  view.OnLButtonDown(x0, y0);
  view.OnMouseMove(x1, y1);
  view.OnLButtonUp(x1, y1);
}

// The same with the right button.
inline void RightDrag(CTobrinView& view, int x0, int y0, int x1, int y1) {
  view.OnRButtonDown(x0, y0);
  view.OnMouseMove(x1, y1);
  view.OnRButtonUp(x1, y1);
}

// What a user does before a reset: moves the figure, turns it, then selects the parts named
// and bends them, all through the view's own handlers. Leaves the view in Joints mode.
inline void PoseTheFigure(CTobrinView& view, std::initializer_list<const char*> bent) {
  view.OnModePosition();
  LeftDrag(view, 200, 150, 230, 140);
  view.OnModeOrientation();
  LeftDrag(view, 230, 140, 260, 120);
  for (const char* name : bent)
    Part(view.m_pRoot.get(), name)->selected = 1;
  view.OnModeJoints();
  RightDrag(view, 0, 0, 0, 40);
}

inline bool Finite(const double* v, int n) {
  return std::all_of(v, v + n, [](double x) { return std::isfinite(x); });
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
