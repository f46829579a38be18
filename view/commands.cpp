// The view's menu commands and the state handlers that mark them.
#include "model/joints.h"
#include "view/tobrin_view.h"

// A new mode hides the keyboard cursor: it belongs to the Joints mode it was moved in.
void CTobrinView::SetMode(int mode) {
  m_nMode = mode;
  m_bKeyCursorShown = false;
  m_host.RequestRepaint();
}

void CTobrinView::OnModePosition() {
  SetMode(MODE_POSITION);
}

void CTobrinView::OnModeOrientation() {
  SetMode(MODE_ORIENTATION);
}

void CTobrinView::OnModeJoints() {
  SetMode(MODE_JOINTS);
}

void CTobrinView::OnUpdateModePosition(CommandState& state) const {
  state.SetRadio(m_nMode == MODE_POSITION);
}

void CTobrinView::OnUpdateModeOrientation(CommandState& state) const {
  state.SetRadio(m_nMode == MODE_ORIENTATION);
}

void CTobrinView::OnUpdateModeJoints(CommandState& state) const {
  state.SetRadio(m_nMode == MODE_JOINTS);
}

void CTobrinView::OnFileReset() {
  ResetRootPose(m_pRoot.get());
  m_dPosX = m_dPosY = m_dPosZ = 0.0;
  m_host.RequestRepaint();
}

void CTobrinView::OnFileResetJoints() {
  // From the root's first child: the figure's pose, the root's matrix, stays.
  if (m_pRoot != nullptr) ResetJoints(m_pRoot->firstChild);
  m_host.RequestRepaint();
}

void CTobrinView::OnModeVisibleArcball() {
  m_bArcballVisible = !m_bArcballVisible;
}

// Runs whenever the shell needs the command's state: as the Mode menu opens, and in the check
// just before the command itself runs. The repaint asked for in that check is served after the
// command, so every choice of Visible Arcball is shown.
void CTobrinView::OnUpdateModeVisibleArcball(CommandState& state) {
  state.SetCheck(m_bArcballVisible ? 1 : 0);
  m_host.RequestRepaint();
}
