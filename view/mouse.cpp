// The mouse in the drawing area: drag state, Position-mode moves, and what each mode does
// with presses and moves.
#include "model/joints.h"
#include "view/tobrin_view.h"

void CTobrinView::OnLButtonDown(int x, int y) {
  m_bKeyCursorShown = false;  // the mouse has taken over
  m_nLastX = x;
  m_nLastY = y;
  m_nDragButton = DRAG_LEFT;  // a right drag in progress becomes a left drag
  m_host.CaptureMouse();
  if (m_nMode == MODE_ORIENTATION) {
    BeginArcball(x, y);
  } else if (m_nMode == MODE_JOINTS) {
    // The highlight changes at the button-up's repaint.
    PickPart(x, y);
  }
}

void CTobrinView::OnRButtonDown(int x, int y) {
  m_bKeyCursorShown = false;
  m_nLastX = x;
  m_nLastY = y;
  m_nDragButton = DRAG_RIGHT;
  m_host.CaptureMouse();
  ProjectCentre();
}

void CTobrinView::OnLButtonUp(int, int) {
  m_host.ReleaseMouse();
  m_nDragButton = DRAG_NONE;  // whichever button started the drag
  m_host.RequestRepaint();
}

void CTobrinView::OnRButtonUp(int x, int y) {
  OnLButtonUp(x, y);
}

void CTobrinView::OnCaptureLost() {
  m_nDragButton = DRAG_NONE;
  m_host.RequestRepaint();
}

// Puts a translation in front of the root's matrix, so the figure moves along the scene's
// axes whatever its orientation.
void CTobrinView::TranslateRoot(double x, double y, double z) {
  if (m_pRoot == nullptr) return;
  Matrix4 step, moved;
  MakeTranslation(step, x, y, z);
  MultiplyMatrices(step, m_pRoot->matrix, moved);
  CopyMatrix(moved, m_pRoot->matrix);
}

void CTobrinView::MoveAcross(int dx, int dy) {
  if (dx != 0) {  // the x step first, then the y step
    const double tx = dx * POSITION_STEP;
    TranslateRoot(tx, 0.0, 0.0);
    m_dPosX += tx;
  }
  if (dy != 0) {
    const double ty = dy * -POSITION_STEP;
    TranslateRoot(0.0, ty, 0.0);
    m_dPosY += ty;
  }
}

void CTobrinView::MoveNearer(int dy) {
  if (dy == 0) return;
  const double tz = dy * POSITION_STEP;
  TranslateRoot(0.0, 0.0, tz);
  m_dPosZ += tz;
}

void CTobrinView::BendSelected(int dy) {
  BendJoints(m_pRoot.get(), static_cast<double>(dy));
}

void CTobrinView::OnMouseMove(int x, int y) {
  const int dx = x - m_nLastX;
  const int dy = y - m_nLastY;  // positive downwards

  if (m_nMode == MODE_POSITION && m_nDragButton == DRAG_LEFT) {
    MoveAcross(dx, dy);
    m_host.RequestRepaint();
  } else if (m_nMode == MODE_POSITION && m_nDragButton == DRAG_RIGHT) {
    MoveNearer(dy);
    m_host.RequestRepaint();
  } else if (m_nMode == MODE_ORIENTATION && m_nDragButton == DRAG_LEFT) {
    TrackArcball(x, y);
  } else if (m_nMode == MODE_JOINTS && m_nDragButton == DRAG_RIGHT) {
    if (dy != 0) {
      BendSelected(dy);
      m_host.RequestRepaint();
    }
  }

  m_nLastX = x;
  m_nLastY = y;
}
