// The figure's parts as the design tables give them, written out independently of the model
// code so that tests compare the built tree against the table rather than against itself.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/part_node.h"

namespace tobrin_test {

enum class Preset { None, Orange, Teal, Slate };

// Red, green, blue and alpha of each preset, in the order above (none: a group's colour, which
// is never read).
inline constexpr double kPresetColours[4][4] = {
    {0, 0, 0, 1}, {0.8, 0.5, 0.0, 1.0}, {0.0, 0.6, 0.6, 1.0}, {0.2, 0.2, 0.5, 1.0}};
inline const double* PresetColour(Preset preset) {
  return kPresetColours[static_cast<int>(preset)];
}

struct PartRow {
  const char* name;
  const char* parent;  // nullptr for the root
  int index;           // index among the parent's children
  double offset[3];
  double size[3];
  Preset colour;
  double pivot[3];
  double minAngle;
  double maxAngle;
  bool selectable;
  // The root is the figure's only group; every part is a box.
  NodeKind kind() const { return parent == nullptr ? NODE_GROUP : NODE_BOX; }
};

// clang-format off
// name, parent, index among the parent's children, offset from the parent, size, colour,
// pivot, joint limits, selectable
inline const std::vector<PartRow>& FigureTable() {
  static const std::vector<PartRow> rows = {
    {"Root", nullptr, 0, {0, 0, 0}, {0, 0, 0}, Preset::None, {0, 0, 0}, 0, 0, false},
    {"Torso", "Root", 0, {0, 0, 0}, {1.0, 1.25, 0.8}, Preset::Orange, {0, 0, 0}, 0, 0, false},
    {"Hips", "Torso", 0, {0, -0.875, 0}, {0.5, 0.5, 0.7}, Preset::Teal, {0, 0, 0}, 0, 0, false},
    {"Shoulders", "Torso", 1, {0, 0.75, 0}, {1.25, 0.25, 0.8}, Preset::Teal, {0, 0, 0}, 0, 0, false},
    {"Neck", "Shoulders", 0, {0, 0.3, 0}, {0.2, 0.35, 0.2}, Preset::Orange, {0, -0.175, 0}, -50, 95, true},
    {"Head", "Neck", 0, {0, 0.575, 0}, {0.8, 0.8, 0.7}, Preset::Slate, {0, -0.4, 0}, -50, 90, true},
    {"RightUpperArm", "Shoulders", 1, {-0.75, -0.225, 0}, {0.25, 0.7, 0.3}, Preset::Slate, {0, 0.35, 0}, -400, 227, true},
    {"LeftUpperArm", "Shoulders", 2, {0.75, -0.225, 0}, {0.25, 0.7, 0.3}, Preset::Slate, {0, 0.35, 0}, -400, 227, true},
    {"RightForearm", "RightUpperArm", 0, {0, -0.65, 0}, {0.2, 0.6, 0.2}, Preset::Teal, {0, 0.3, 0}, -264, 40, true},
    {"LeftForearm", "LeftUpperArm", 0, {0, -0.65, 0}, {0.2, 0.6, 0.2}, Preset::Teal, {0, 0.3, 0}, -264, 40, true},
    {"RightHand", "RightForearm", 0, {0, -0.425, 0}, {0.2, 0.25, 0.15}, Preset::Orange, {0, 0.125, 0}, -190, 180, true},
    {"LeftHand", "LeftForearm", 0, {0, -0.425, 0}, {0.2, 0.25, 0.15}, Preset::Orange, {0, 0.125, 0}, -190, 180, true},
    {"RightThigh", "Hips", 0, {-0.425, -0.25, 0}, {0.35, 1.0, 0.35}, Preset::Slate, {0, 0.5, 0}, -230, 135, true},
    {"LeftThigh", "Hips", 1, {0.425, -0.25, 0}, {0.35, 1.0, 0.35}, Preset::Slate, {0, 0.5, 0}, -230, 135, true},
    {"RightShin", "RightThigh", 0, {0, -0.9, 0}, {0.3, 0.8, 0.3}, Preset::Teal, {0, 0.4, 0}, -15, 270, true},
    {"LeftShin", "LeftThigh", 0, {0, -0.9, 0}, {0.3, 0.8, 0.3}, Preset::Teal, {0, 0.4, 0}, -15, 270, true},
    {"RightFoot", "RightShin", 0, {0, -0.5, 0.1}, {0.3, 0.2, 0.5}, Preset::Orange, {0, 0, -0.1}, -30, 180, true},
    {"LeftFoot", "LeftShin", 0, {0, -0.5, 0.1}, {0.3, 0.2, 0.5}, Preset::Orange, {0, 0, -0.1}, -30, 180, true},
  };
  return rows;
}
// clang-format on

inline const PartRow& FigureRow(const std::string& name) {
  for (const PartRow& row : FigureTable()) {
    if (name == row.name) return row;
  }
  throw std::out_of_range("no figure part named " + name);
}

// The path of child indexes from the root down to a part (empty for the root).
inline std::vector<int> PathOf(const std::string& name) {
  std::vector<int> path;
  for (const PartRow* row = &FigureRow(name); row->parent != nullptr;
       row = &FigureRow(row->parent)) {
    path.insert(path.begin(), row->index);
  }
  return path;
}

// Follows a path of child indexes; nullptr if the tree has no such node.
inline PartNode* NodeAt(PartNode* root, const std::vector<int>& path) {
  PartNode* node = root;
  for (int index : path) {
    if (node == nullptr) return nullptr;
    node = node->firstChild;
    for (int k = 0; k < index && node != nullptr; ++k)
      node = node->next;
  }
  return node;
}

inline PartNode* Part(PartNode* root, const std::string& name) {
  return NodeAt(root, PathOf(name));
}

// The selectable parts, in table order.
inline std::vector<std::string> SelectableParts() {
  std::vector<std::string> names;
  for (const PartRow& row : FigureTable()) {
    if (row.selectable) names.push_back(row.name);
  }
  return names;
}

// Finds `part` among `node`, its siblings and everything below them, and writes its placement
// in the scene: the product of the matrices from the top down to it (`parent`, if given,
// first). False when it is not there.
inline bool SceneMatrix(const PartNode* node, const PartNode* part, Matrix4 out,
                        const double* parent = nullptr) {
  Matrix4 identity;
  MakeIdentity(identity);
  for (const PartNode* n = node; n != nullptr; n = n->next) {
    Matrix4 placed;
    MultiplyMatrices(parent != nullptr ? parent : identity, n->matrix, placed);
    if (n == part) {
      CopyMatrix(placed, out);
      return true;
    }
    if (SceneMatrix(n->firstChild, part, out, placed)) return true;
  }
  return false;
}

// Applies f to every node of the tree below and including `node`, siblings included.
template <typename F>
void ForEachNode(PartNode* node, F&& f) {
  for (PartNode* n = node; n != nullptr; n = n->next) {
    f(n);
    ForEachNode(n->firstChild, f);
  }
}

}  // namespace tobrin_test
