#pragma once

#include "calltrace.h"

#include <QList>

#include <vector>

// The calls the drawn tree shows at a moment, in preorder, laid out: the calls made up to
// the newest, under each open call the calls it made, a folded call standing for all
// below it. Node 0 stands for the program, above the first calls, and is not drawn.
struct DrawnCalls
{
    std::vector<qint32> call;   // -1 for node 0
    std::vector<qint32> parent; // the node's parent node, -1 for node 0
    std::vector<qint32> depth;  // the first calls at 1
    std::vector<double> x;      // in slots, the leftmost node at 0
    std::vector<bool> folded;   // made calls that are not shown
    qint32 levels = 0;          // the greatest depth
    // The nodes level by level, each level left to right: those of depth d from
    // levelStart[d] to levelStart[d + 1].
    std::vector<qint32> byLevel, levelStart;

    qint32 size() const { return qint32(call.size()); }
    // The node of a call, -1 where it is not shown.
    qint32 nodeOf(qint32 call) const;
};

// Which calls are open. By default the calls above a depth are; the user opens and folds
// calls, or all below a call; the calls the current one waits in are always open.
class CallTreeFolds
{
public:
    // A new trace of so many calls: every call as the default depth has it.
    void reset(qint32 calls);
    // The default depth that shows the most levels of the calls up to the newest, no level
    // wider than widest nodes, levels at most in all; the first call always open.
    void fitDefault(const CallTrace &trace, qint32 newest, qint32 widest, qint32 levels);
    int defaultDepth() const { return openLevels; }
    // The calls of the trace reset for.
    qint32 calls() const { return qint32(states.size()); }

    void open(qint32 call) { setState(call, Open); }
    void fold(qint32 call) { setState(call, Folded); }
    // The call and every call below it, up to the end of the trace.
    void openAll(const CallTrace &trace, qint32 call) { setAll(trace, call, Open); }
    void foldAll(const CallTrace &trace, qint32 call) { setAll(trace, call, Folded); }
    bool isOpen(qint32 call, int depth) const;

    // The calls shown up to the newest, the current call's callers open.
    DrawnCalls shown(const CallTrace &trace, qint32 newest, qint32 current) const;
    qsizetype bytes() const { return qsizetype(states.capacity()); }

private:
    enum State : quint8 { Default, Open, Folded };
    void setState(qint32 call, State state);
    void setAll(const CallTrace &trace, qint32 call, State state);

    std::vector<quint8> states;
    int openLevels = 1;
};

// How many calls the call made, directly or not, itself included, up to the newest.
inline qint32 subtreeCalls(const CallTrace &trace, qint32 call, qint32 newest)
{
    return std::min(trace.subtreeEnd(call), newest + 1) - call;
}
