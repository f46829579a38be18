#include "model/figure.h"

#include "i18n/translate.h"

namespace {

struct BoxDefinition {
  double offset[3];
  double size[3];
  PartNode* (*colour)(PartNode*);
  double pivot[3];
  double minAngle;
  double maxAngle;
  unsigned char selectable;
};

// Sizes, offsets and pivots in scene units; limits in angle units. Each pivot is where the
// part meets its parent: the top face's centre for hanging parts, the bottom face's centre for
// the neck and head, and for a foot the point straight under its shin's axis.
constexpr BoxDefinition kTorso{{0, 0, 0}, {1.0, 1.25, 0.8}, SetColourOrange, {0, 0, 0}, 0, 0, 0};
constexpr BoxDefinition kHips{{0, -0.875, 0}, {0.5, 0.5, 0.7}, SetColourTeal, {0, 0, 0}, 0, 0, 0};
constexpr BoxDefinition kShoulders{
    {0, 0.75, 0}, {1.25, 0.25, 0.8}, SetColourTeal, {0, 0, 0}, 0, 0, 0};
constexpr BoxDefinition kNeck{
    {0, 0.3, 0}, {0.2, 0.35, 0.2}, SetColourOrange, {0, -0.175, 0}, -50, 95, 1};
constexpr BoxDefinition kHead{
    {0, 0.575, 0}, {0.8, 0.8, 0.7}, SetColourSlate, {0, -0.4, 0}, -50, 90, 1};
constexpr BoxDefinition kRightUpperArm{
    {-0.75, -0.225, 0}, {0.25, 0.7, 0.3}, SetColourSlate, {0, 0.35, 0}, -400, 227, 1};
constexpr BoxDefinition kLeftUpperArm{
    {0.75, -0.225, 0}, {0.25, 0.7, 0.3}, SetColourSlate, {0, 0.35, 0}, -400, 227, 1};
constexpr BoxDefinition kForearm{
    {0, -0.65, 0}, {0.2, 0.6, 0.2}, SetColourTeal, {0, 0.3, 0}, -264, 40, 1};
constexpr BoxDefinition kHand{
    {0, -0.425, 0}, {0.2, 0.25, 0.15}, SetColourOrange, {0, 0.125, 0}, -190, 180, 1};
constexpr BoxDefinition kRightThigh{
    {-0.425, -0.25, 0}, {0.35, 1.0, 0.35}, SetColourSlate, {0, 0.5, 0}, -230, 135, 1};
constexpr BoxDefinition kLeftThigh{
    {0.425, -0.25, 0}, {0.35, 1.0, 0.35}, SetColourSlate, {0, 0.5, 0}, -230, 135, 1};
constexpr BoxDefinition kShin{
    {0, -0.9, 0}, {0.3, 0.8, 0.3}, SetColourTeal, {0, 0.4, 0}, -15, 270, 1};
constexpr BoxDefinition kFoot{
    {0, -0.5, 0.1}, {0.3, 0.2, 0.5}, SetColourOrange, {0, 0, -0.1}, -30, 180, 1};

// Creates a box from its definition and links it under `parent`, which owns it from then on, so an
// allocation failing later frees it with the rest of the tree.
PartNode* AddBox(PartNode* parent, const BoxDefinition& definition) {
  auto box = std::make_unique<PartNode>();
  InitPartNode(box.get());
  MakeTranslation(box->matrix, definition.offset[0], definition.offset[1], definition.offset[2]);
  for (int i = 0; i < 3; ++i) {
    box->restOffset[i] = definition.offset[i];
    box->size[i] = definition.size[i];
    box->pivot[i] = definition.pivot[i];
  }
  box->minAngle = definition.minAngle;
  box->maxAngle = definition.maxAngle;
  box->selectable = definition.selectable;
  definition.colour(box.get());
  AddChild(parent, box.get());
  return box.release();
}

}  // namespace

PartNodePtr BuildFigure() {
  auto root = std::make_unique<PartNode>();
  InitPartNode(root.get());
  root->kind = NODE_GROUP;
  root->selectable = 0;

  // Children go to the front of their parent's list, so this order yields the indexes that
  // picking relies on: Torso: Hips 0, Shoulders 1; Shoulders: Neck 0, RightUpperArm 1,
  // LeftUpperArm 2; Hips: RightThigh 0, LeftThigh 1.
  PartNode* torso = AddBox(root.get(), kTorso);
  PartNode* shoulders = AddBox(torso, kShoulders);
  PartNode* leftUpperArm = AddBox(shoulders, kLeftUpperArm);
  PartNode* rightUpperArm = AddBox(shoulders, kRightUpperArm);
  PartNode* leftForearm = AddBox(leftUpperArm, kForearm);
  PartNode* rightForearm = AddBox(rightUpperArm, kForearm);
  AddBox(leftForearm, kHand);
  AddBox(rightForearm, kHand);
  PartNode* neck = AddBox(shoulders, kNeck);
  AddBox(neck, kHead);
  PartNode* hips = AddBox(torso, kHips);
  PartNode* leftThigh = AddBox(hips, kLeftThigh);
  PartNode* rightThigh = AddBox(hips, kRightThigh);
  PartNode* leftShin = AddBox(leftThigh, kShin);
  PartNode* rightShin = AddBox(rightThigh, kShin);
  AddBox(leftShin, kFoot);
  AddBox(rightShin, kFoot);
  return root;
}

const char* FigurePartName(const PartNode* root, const PartNode* part) {
  // The figure's boxes in the tree's order, as BuildFigure links them.
  // English, marked for the catalogs: whoever shows a name translates it.
  static constexpr const char* kNames[] = {
      TR_NOOP("torso"),         TR_NOOP("hips"),       TR_NOOP("right thigh"),
      TR_NOOP("right shin"),    TR_NOOP("right foot"), TR_NOOP("left thigh"),
      TR_NOOP("left shin"),     TR_NOOP("left foot"),  TR_NOOP("shoulders"),
      TR_NOOP("neck"),          TR_NOOP("head"),       TR_NOOP("right upper arm"),
      TR_NOOP("right forearm"), TR_NOOP("right hand"), TR_NOOP("left upper arm"),
      TR_NOOP("left forearm"),  TR_NOOP("left hand")};
  constexpr int kCount = static_cast<int>(sizeof kNames / sizeof kNames[0]);
  if (root == nullptr || part == nullptr) return nullptr;
  int index = 0;
  const char* name = nullptr;
  ForEachNodeInTreeOrder(root->firstChild, [&](const PartNode* node) {
    if (node == part && index < kCount) name = kNames[index];
    ++index;
  });
  return name;
}
