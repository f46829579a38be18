// The drawing area's text for screen readers: what a sighted user sees at a glance, the mode
// and the red parts, in the user's language.
#include "i18n/translate.h"
#include "model/figure.h"
#include "view/tobrin_view.h"

std::string CTobrinView::Description() const {
  std::string text;
  switch (m_nMode) {
    case MODE_POSITION:
      text = Tr("Position mode.");
      break;
    case MODE_ORIENTATION:
      text = Tr("Orientation mode.");
      break;
    default:
      text = Tr("Joints mode.");
      break;
  }
  // TRANSLATORS: two sentences of a screen reader's description of the figure, one after the
  // other.
  const std::string sentences = Tr("%s %s");
  std::string selected;
  ForEachNodeInTreeOrder(m_pRoot.get(), [&](const PartNode* node) {
    if (!node->selected) return;
    const char* name = FigurePartName(m_pRoot.get(), node);
    if (name == nullptr) return;
    // TRANSLATORS: what comes between two part names in a list of the selected parts.
    selected += selected.empty() ? "" : Tr(", ");
    selected += Tr(name);
  });
  // TRANSLATORS: %s is a list of part names, such as "neck, left hand".
  text = Fill(sentences, {text, selected.empty() ? Tr("No part selected.")
                                                 : Fill(Tr("Selected: %s."), {selected})});
  if (const PartNode* cursor = OutlinedPart()) {
    if (const char* name = FigurePartName(m_pRoot.get(), cursor)) {
      // TRANSLATORS: %s is a part name, such as "left hand", which English puts after "the".
      text = Fill(sentences, {text, Fill(Tr("Keyboard cursor on the %s."), {Tr(name)})});
    }
  }
  return text;
}
