#include "model/part_node.h"

PartNode::~PartNode() {
  DestroyPartNode(this);
}

void InitPartNode(PartNode* node) {
  MakeIdentity(node->matrix);
  node->kind = NODE_BOX;
  node->instance = nullptr;
  node->next = nullptr;
  node->firstChild = nullptr;
  node->selectable = 1;
  node->selected = 0;
  for (double& p : node->pivot)
    p = 0.0;
  node->minAngle = 0.0;
  node->maxAngle = 0.0;
  node->angle = 0.0;
}

void AddChild(PartNode* parent, PartNode* child) {
  child->next = parent->firstChild;
  parent->firstChild = child;
}

namespace {

PartNode* SetColour(PartNode* node, double r, double g, double b) {
  node->colour[0] = r;
  node->colour[1] = g;
  node->colour[2] = b;
  node->colour[3] = 1.0;
  return node;
}

// Frees a node that has already been emptied of everything it owns.
void FreeEmpty(PartNode* node) {
  // The links are null, so the destructor has nothing left to do.
  delete node;
}

// Destroys and frees the node's instance, if it has one, with everything the instance owns.
void DestroyInstance(PartNode* node) {
  if (PartNode* inst = node->instance) {
    node->instance = nullptr;
    DestroyPartNode(inst);
    FreeEmpty(inst);
  }
}

// Destroys a whole sibling chain starting at `first`, freeing each node, in the order that
// the recursive definition gives: for every node, its instance, then the rest of the chain,
// then its children, then the node itself.
//
// Written out for a chain s1 -> s2 -> ... -> sk that is: the instances of s1 .. sk in chain
// order, then from sk back to s1 each node's children followed by the node. The first pass
// handles the instances and reverses the links in place; the second walks the reversed chain.
void DestroyChain(PartNode* first) {
  PartNode* reversed = nullptr;
  for (PartNode* node = first; node != nullptr;) {
    DestroyInstance(node);
    PartNode* following = node->next;
    node->next = reversed;
    reversed = node;
    node = following;
  }
  while (reversed != nullptr) {
    PartNode* node = reversed;
    reversed = node->next;
    node->next = nullptr;
    if (PartNode* child = node->firstChild) {
      node->firstChild = nullptr;
      DestroyChain(child);
    }
    FreeEmpty(node);
  }
}

}  // namespace

PartNode* SetColourOrange(PartNode* node) {
  return SetColour(node, 0.8, 0.5, 0.0);
}
PartNode* SetColourTeal(PartNode* node) {
  return SetColour(node, 0.0, 0.6, 0.6);
}
PartNode* SetColourSlate(PartNode* node) {
  return SetColour(node, 0.2, 0.2, 0.5);
}

void DestroyPartNode(PartNode* node) {
  DestroyInstance(node);
  if (PartNode* sibling = node->next) {
    node->next = nullptr;
    DestroyChain(sibling);
  }
  if (PartNode* child = node->firstChild) {
    node->firstChild = nullptr;
    DestroyChain(child);
  }
}
