#include "calltreefolds.h"

#include "tidytree.h"

#include <algorithm>

qint32 DrawnCalls::nodeOf(qint32 wanted) const
{
    const auto at = std::lower_bound(call.begin() + 1, call.end(), wanted);
    return at != call.end() && *at == wanted ? qint32(at - call.begin()) : -1;
}

void CallTreeFolds::reset(qint32 calls)
{
    states.assign(size_t(std::max(calls, 0)), Default);
}

void CallTreeFolds::fitDefault(const CallTrace &trace, qint32 newest, qint32 widest, qint32 levels)
{
    // The calls at each depth, the depth found on a stack of the calls waiting.
    std::vector<qint32> waiting;
    std::vector<qint32> atDepth;
    for (qint32 call = 0; call <= newest && call < trace.calls(); ++call) {
        while (!waiting.empty() && waiting.back() != trace.parent(call))
            waiting.pop_back();
        waiting.push_back(call);
        atDepth.resize(std::max(atDepth.size(), waiting.size()));
        ++atDepth[waiting.size() - 1];
    }
    // Open levels 1 ... n show the calls of depth up to n + 1, at atDepth[n].
    openLevels = 1;
    while (openLevels + 2 <= levels && size_t(openLevels) + 1 < atDepth.size()
           && atDepth[size_t(openLevels) + 1] <= widest)
        ++openLevels;
}

bool CallTreeFolds::isOpen(qint32 call, int depth) const
{
    const State state = size_t(call) < states.size() ? State(states[size_t(call)]) : Default;
    return state == Default ? depth <= openLevels : state == Open;
}

void CallTreeFolds::setState(qint32 call, State state)
{
    if (size_t(call) < states.size())
        states[size_t(call)] = state;
}

void CallTreeFolds::setAll(const CallTrace &trace, qint32 call, State state)
{
    if (size_t(call) >= states.size())
        return;
    const qint32 end = std::min(trace.subtreeEnd(call), qint32(states.size()));
    std::fill(states.begin() + call, states.begin() + end, state);
}

DrawnCalls CallTreeFolds::shown(const CallTrace &trace, qint32 newest, qint32 current) const
{
    DrawnCalls drawn;
    drawn.call = {-1};
    drawn.parent = {-1};
    drawn.depth = {0};
    drawn.folded = {false};
    newest = std::min(newest, trace.calls() - 1);
    const QList<qint32> callers
            = current >= 0 && current <= newest ? trace.path(current) : QList<qint32>();
    // Preorder on a stack of the nodes whose calls are being added, each with its next call.
    struct Pending
    {
        qint32 node;
        qint32 next;
    };
    std::vector<Pending> stack{{0, newest >= 0 ? 0 : -1}};
    while (!stack.empty()) {
        Pending &top = stack.back();
        const qint32 call = top.next;
        if (call < 0 || call > newest) {
            stack.pop_back();
            continue;
        }
        top.next = trace.nextSibling(call);
        const qint32 node = drawn.size();
        const qint32 depth = drawn.depth[size_t(top.node)] + 1;
        drawn.call.push_back(call);
        drawn.parent.push_back(top.node);
        drawn.depth.push_back(depth);
        drawn.levels = std::max(drawn.levels, depth);
        const qint32 child = trace.firstChild(call);
        const bool waitedIn = depth < callers.size() && callers[depth - 1] == call;
        const bool open = waitedIn || isOpen(call, depth);
        drawn.folded.push_back(!open && child >= 0 && child <= newest);
        if (open)
            stack.push_back({node, child});
    }
    drawn.x = tidyTree(drawn.parent);
    // Preorder keeps each level's nodes left to right.
    drawn.levelStart.assign(size_t(drawn.levels) + 2, 0);
    for (qint32 depth : drawn.depth)
        ++drawn.levelStart[size_t(depth) + 1];
    for (size_t d = 1; d < drawn.levelStart.size(); ++d)
        drawn.levelStart[d] += drawn.levelStart[d - 1];
    drawn.byLevel.resize(drawn.call.size());
    std::vector<qint32> next(drawn.levelStart.begin(), drawn.levelStart.end() - 1);
    for (qint32 node = 0; node < drawn.size(); ++node)
        drawn.byLevel[size_t(next[size_t(drawn.depth[size_t(node)])]++)] = node;
    return drawn;
}
