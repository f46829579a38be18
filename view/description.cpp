// The drawing area's text for screen readers: what a sighted user sees at a glance, the mode
// and the red parts.
#include "model/figure.h"
#include "view/tobrin_view.h"

std::string CTobrinView::Description() const {
  std::string text;
  switch (m_nMode) {
    case MODE_POSITION:
      text = "Position mode";
      break;
    case MODE_ORIENTATION:
      text = "Orientation mode";
      break;
    default:
      text = "Joints mode";
      break;
  }
  std::string selected;
  ForEachNodeInTreeOrder(m_pRoot.get(), [&](const PartNode* node) {
    if (!node->selected) return;
    const char* name = FigurePartName(m_pRoot.get(), node);
    if (name == nullptr) return;
    selected += selected.empty() ? "" : ", ";
    selected += name;
  });
  text += selected.empty() ? ". No part selected." : ". Selected: " + selected + ".";
  if (const PartNode* cursor = OutlinedPart()) {
    if (const char* name = FigurePartName(m_pRoot.get(), cursor)) {
      text += std::string(" Keyboard cursor on the ") + name + ".";
    }
  }
  return text;
}
