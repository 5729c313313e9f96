#include "tidytree.h"

#include <algorithm>

namespace {

constexpr qint32 none = -1;

// The walks' working state, one entry a node.
class TidyTree
{
public:
    explicit TidyTree(const std::vector<qint32> &parent);
    std::vector<double> layOut();

private:
    void firstWalk(qint32 v);
    void apportion(qint32 v);
    void moveSubtree(qint32 left, qint32 right, double shift);
    void executeShifts(qint32 v);
    qint32 nextLeft(qint32 v) const
    {
        return nodes[v].first != none ? nodes[v].first : nodes[v].thread;
    }
    qint32 nextRight(qint32 v) const
    {
        return nodes[v].last != none ? nodes[v].last : nodes[v].thread;
    }
    // The ancestor of the left contour's node that is a sibling of v, else the default.
    qint32 siblingAncestor(qint32 inner, qint32 v) const
    {
        return parent[nodes[inner].ancestor] == parent[v] ? nodes[inner].ancestor
                                                          : nodes[parent[v]].defaultAncestor;
    }

    struct Node
    {
        qint32 first = none, last = none, leftSibling = none, nextSibling = none;
        qint32 number = 0, thread = none, ancestor = none;
        qint32 defaultAncestor = none; // of the node's children, while they are placed
        double prelim = 0, mod = 0, shift = 0, change = 0;
    };
    const std::vector<qint32> &parent;
    std::vector<Node> nodes;
};

TidyTree::TidyTree(const std::vector<qint32> &parent) : parent(parent), nodes(parent.size())
{
    for (qint32 v = 0; v < qint32(parent.size()); ++v) {
        nodes[v].ancestor = v;
        const qint32 up = parent[v];
        if (up == none)
            continue;
        if (nodes[up].last == none) {
            nodes[up].first = nodes[up].defaultAncestor = v;
        } else {
            nodes[v].leftSibling = nodes[up].last;
            nodes[nodes[up].last].nextSibling = v;
            nodes[v].number = nodes[nodes[up].last].number + 1;
        }
        nodes[up].last = v;
    }
}

std::vector<double> TidyTree::layOut()
{
    // The first walk in postorder: a node once its children are done, siblings left to right.
    // Reverse preorder would take the siblings right to left, so the order is made on a stack.
    std::vector<qint32> stack{0};
    std::vector<qint32> nextChild(nodes.size());
    for (size_t v = 0; v < nodes.size(); ++v)
        nextChild[v] = nodes[v].first;
    while (!stack.empty()) {
        const qint32 v = stack.back();
        if (const qint32 child = nextChild[v]; child != none) {
            nextChild[v] = nodes[child].nextSibling;
            stack.push_back(child);
            continue;
        }
        stack.pop_back();
        firstWalk(v);
        if (parent[v] != none)
            apportion(v);
    }
    // The second walk in preorder: each node's x is its prelim plus its ancestors' mods.
    std::vector<double> x(parent.size());
    std::vector<double> modSum(parent.size());
    for (size_t v = 0; v < parent.size(); ++v) {
        const qint32 up = parent[v];
        modSum[v] = up == none ? -nodes[0].prelim : modSum[up] + nodes[up].mod;
        x[v] = nodes[v].prelim + modSum[v];
    }
    if (!x.empty()) {
        const double leftmost = *std::min_element(x.begin(), x.end());
        for (double &value : x)
            value -= leftmost;
    }
    return x;
}

void TidyTree::firstWalk(qint32 v)
{
    const qint32 left = nodes[v].leftSibling;
    if (nodes[v].first == none) {
        nodes[v].prelim = left == none ? 0 : nodes[left].prelim + 1;
        return;
    }
    executeShifts(v);
    const double midpoint = (nodes[nodes[v].first].prelim + nodes[nodes[v].last].prelim) / 2;
    if (left == none) {
        nodes[v].prelim = midpoint;
    } else {
        nodes[v].prelim = nodes[left].prelim + 1;
        nodes[v].mod = nodes[v].prelim - midpoint;
    }
}

// Pushes v's subtree right of the subtrees of its left siblings, contour by contour.
void TidyTree::apportion(qint32 v)
{
    const qint32 up = parent[v];
    const qint32 left = nodes[v].leftSibling;
    if (left == none)
        return;
    qint32 insideRight = v, outsideRight = v, insideLeft = left, outsideLeft = nodes[up].first;
    double sInsideRight = nodes[insideRight].mod, sOutsideRight = nodes[outsideRight].mod;
    double sInsideLeft = nodes[insideLeft].mod, sOutsideLeft = nodes[outsideLeft].mod;
    while (nextRight(insideLeft) != none && nextLeft(insideRight) != none) {
        insideLeft = nextRight(insideLeft);
        insideRight = nextLeft(insideRight);
        outsideLeft = nextLeft(outsideLeft);
        outsideRight = nextRight(outsideRight);
        nodes[outsideRight].ancestor = v;
        const double gap = nodes[insideLeft].prelim + sInsideLeft
                - (nodes[insideRight].prelim + sInsideRight) + 1;
        if (gap > 0) {
            moveSubtree(siblingAncestor(insideLeft, v), v, gap);
            sInsideRight += gap;
            sOutsideRight += gap;
        }
        sInsideLeft += nodes[insideLeft].mod;
        sInsideRight += nodes[insideRight].mod;
        sOutsideLeft += nodes[outsideLeft].mod;
        sOutsideRight += nodes[outsideRight].mod;
    }
    if (nextRight(insideLeft) != none && nextRight(outsideRight) == none) {
        nodes[outsideRight].thread = nextRight(insideLeft);
        nodes[outsideRight].mod += sInsideLeft - sOutsideRight;
    }
    if (nextLeft(insideRight) != none && nextLeft(outsideLeft) == none) {
        nodes[outsideLeft].thread = nextLeft(insideRight);
        nodes[outsideLeft].mod += sInsideRight - sOutsideLeft;
        nodes[up].defaultAncestor = v;
    }
}

// Moves the right subtree by shift, and spreads the shift over the subtrees between them.
void TidyTree::moveSubtree(qint32 left, qint32 right, double by)
{
    const double subtrees = nodes[right].number - nodes[left].number;
    nodes[right].change -= by / subtrees;
    nodes[right].shift += by;
    nodes[left].change += by / subtrees;
    nodes[right].prelim += by;
    nodes[right].mod += by;
}

void TidyTree::executeShifts(qint32 v)
{
    double moved = 0, changed = 0;
    for (qint32 w = nodes[v].last; w != none; w = nodes[w].leftSibling) {
        nodes[w].prelim += moved;
        nodes[w].mod += moved;
        changed += nodes[w].change;
        moved += nodes[w].shift + changed;
    }
}

} // namespace

std::vector<double> tidyTree(const std::vector<qint32> &parent)
{
    if (parent.empty())
        return {};
    return TidyTree(parent).layOut();
}
