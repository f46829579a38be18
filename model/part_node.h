// One node of the figure's part tree.
//
// Children hang from a node as a singly linked list: firstChild, then each child's next. The
// position of a child in that list is its index (0 for firstChild), which drawing and picking
// use as its selection name.
//
// Ownership: a node owns the nodes its `instance`, `next` and `firstChild` point to. Deleting
// a node deletes, in this order, the instance (with everything it owns), the following
// siblings (with theirs) and the children (with theirs).
#pragma once

#include <memory>

#include "model/matrix.h"

enum NodeKind : unsigned char {
  NODE_GROUP = 0,     // a transform only; nothing drawn
  NODE_INSTANCE = 1,  // a transform, then `instance` drawn with its subtree in this frame
  NODE_BOX = 2,       // a transform, then a box
};

struct PartNode {
  PartNode() = default;
  PartNode(const PartNode&) = delete;
  PartNode& operator=(const PartNode&) = delete;
  ~PartNode();

  unsigned char kind = NODE_BOX;  // a NodeKind
  PartNode* instance = nullptr;   // drawn in this node's place; only for NODE_INSTANCE
  Matrix4 matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // placement in the parent
  double colour[4] = {0, 0, 0, 1};                                    // red, green, blue, alpha
  double size[3] = {0, 0, 0};        // box extent along the node's own axes, scene units
  PartNode* next = nullptr;          // next sibling
  PartNode* firstChild = nullptr;    // child with index 0
  unsigned char selectable = 1;      // 1 if picking may select the node
  unsigned char selected = 0;        // 1 while selected
  double pivot[3] = {0, 0, 0};       // joint centre, in the node's own frame
  double minAngle = 0;               // lower joint limit, exclusive, angle units
  double maxAngle = 0;               // upper joint limit, exclusive, angle units
  double angle = 0;                  // sum of accepted bends, angle units
  double restOffset[3] = {0, 0, 0};  // translation that a joint reset puts back into `matrix`
};

using PartNodePtr = std::unique_ptr<PartNode>;

// Sets a node's defaults: identity matrix, a box, no links, selectable, not selected, pivot,
// limits and angle 0. Leaves colour, size and restOffset alone.
void InitPartNode(PartNode* node);

// Links `child` in front of the parent's children: the child added last has index 0.
// The parent takes ownership of the child.
void AddChild(PartNode* parent, PartNode* child);

// Calls f on every node of the chain starting at `node` and of the subtrees below it, in the
// tree's order: a node, then its children by index (each with its subtree), then its next
// sibling. Instance links are not followed. Sibling chains are walked without recursion.
template <typename Node, typename F>
void ForEachNodeInTreeOrder(Node* node, F&& f) {
  for (; node != nullptr; node = node->next) {
    f(node);
    ForEachNodeInTreeOrder(node->firstChild, f);
  }
}

// Colour presets: set the node's colour and return the node.
PartNode* SetColourOrange(PartNode* node);  // (0.8, 0.5, 0.0, 1.0)
PartNode* SetColourTeal(PartNode* node);    // (0.0, 0.6, 0.6, 1.0)
PartNode* SetColourSlate(PartNode* node);   // (0.2, 0.2, 0.5, 1.0)

// Destroys and frees everything the node owns (instance, then next, then firstChild, each
// with everything it owns) and clears the three links; the node itself stays. Sibling chains
// are walked without recursion, so a chain of any length cannot exhaust the stack; recursion
// depth is the depth of the tree.
void DestroyPartNode(PartNode* node);
