// The keys of the drawing area: each press makes the pointer step of the mouse action it stands
// for, through the same drag steps, and asks for one repaint.
#include <cmath>

#include "view/tobrin_view.h"

bool CTobrinView::OnKeyDown(ViewKey key, bool shift) {
  if (!IsCreated()) return false;
  const int step = shift ? KEY_FINE_STEP_PIXELS : KEY_STEP_PIXELS;
  // The pointer motion of the key, client pixels, y downwards.
  int dx = 0;
  int dy = 0;
  if (key == KEY_LEFT) dx = -step;
  if (key == KEY_RIGHT) dx = step;
  if (key == KEY_UP || key == KEY_PAGE_UP) dy = -step;
  if (key == KEY_DOWN || key == KEY_PAGE_DOWN) dy = step;
  const bool arrow = key == KEY_LEFT || key == KEY_RIGHT || key == KEY_UP || key == KEY_DOWN;
  const bool page = key == KEY_PAGE_UP || key == KEY_PAGE_DOWN;

  if (m_nMode == MODE_POSITION && arrow) {
    MoveAcross(dx, dy);
  } else if (m_nMode == MODE_POSITION && page) {
    ProjectCentre();  // as the right press does
    MoveNearer(dy);
  } else if (m_nMode == MODE_ORIENTATION && arrow) {
    KeyTurn(dx, dy);
    return true;  // the turn made its repaint request
  } else if (m_nMode == MODE_JOINTS && (key == KEY_LEFT || key == KEY_RIGHT)) {
    MoveKeyCursor(dx > 0 ? 1 : -1);
  } else if (m_nMode == MODE_JOINTS && (key == KEY_UP || key == KEY_DOWN)) {
    ProjectCentre();
    BendSelected(dy);
  } else if (m_nMode == MODE_JOINTS && key == KEY_SPACE) {
    if (!ToggleAtKeyCursor()) return false;
  } else {
    return false;  // the key means nothing in this mode
  }
  m_host.RequestRepaint();
  return true;
}

// A left press at the pixel of the figure's projected origin and one move by (dx, dy). The
// arcball of a mouse drag that may be in progress is left as it was.
void CTobrinView::KeyTurn(int dx, int dy) {
  const std::array<double, 3> anchor = m_dAnchor;
  ProjectCentre();
  const int x = static_cast<int>(std::lround(m_fCentreX));
  const int y = static_cast<int>(std::lround(m_nHeight - static_cast<double>(m_fCentreY)));
  BeginArcball(x, y);
  TrackArcball(x + dx, y + dy);
  m_dAnchor = anchor;
}

std::vector<PartNode*> CTobrinView::KeyCursorParts() const {
  std::vector<PartNode*> parts;
  ForEachNodeInTreeOrder(m_pRoot.get(), [&parts](PartNode* node) {
    if (node->selectable) parts.push_back(node);
  });
  return parts;
}

PartNode* CTobrinView::KeyCursorPart() const {
  if (m_nKeyCursor < 0) return nullptr;
  const std::vector<PartNode*> parts = KeyCursorParts();
  return m_nKeyCursor < static_cast<int>(parts.size()) ? parts[m_nKeyCursor] : nullptr;
}

void CTobrinView::MoveKeyCursor(int direction) {
  const int count = static_cast<int>(KeyCursorParts().size());
  if (count == 0) return;
  if (m_nKeyCursor < 0) {
    // The first press starts at the end it moves from: Right at the first part, Left at the last.
    m_nKeyCursor = direction > 0 ? 0 : count - 1;
  } else {
    m_nKeyCursor = ((m_nKeyCursor + direction) % count + count) % count;
  }
  m_bKeyCursorShown = true;
}

bool CTobrinView::ToggleAtKeyCursor() {
  // An invisible cursor selects nothing: the user could not see what would change.
  PartNode* part = m_bKeyCursorShown ? KeyCursorPart() : nullptr;
  if (part == nullptr) return false;
  part->selected = part->selected ? 0 : 1;
  return true;
}

const PartNode* CTobrinView::OutlinedPart() const {
  return m_bKeyCursorShown && m_nMode == MODE_JOINTS ? KeyCursorPart() : nullptr;
}
