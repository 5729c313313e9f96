#pragma once

#include <QtGlobal>

#include <vector>

// A tidy drawing of a tree (Buchheim, Jünger and Leipert's linear-time form of Walker's
// algorithm): each parent centred over its first and last child, the nodes of a level in
// their order at least one unit apart, equal subtrees drawn alike. The tree is given in
// preorder by each node's parent, -1 for the root (node 0), a parent always before its
// children and children in their order. Without recursion, so a chain of any length lays out.
// Returns each node's x, the leftmost node at 0; a node's y is its depth.
std::vector<double> tidyTree(const std::vector<qint32> &parent);
