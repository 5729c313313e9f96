#pragma once

#include "largeblocks.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

// Writes a number the Russian way: a decimal comma, at most two decimals, no
// trailing zeros and no group separator (13.3333 gives "13,33", -3.5 gives "-3,5").
QString russianNumber(double value);

// The calls one recursion made, in the order made (call 0 being the first,
// which the lesson numbers 1): each call's arguments, the call that made it,
// and which calls drew or wrote something (the steps).
class CallTrace
{
public:
    // Registers a call at this depth (the first call being depth 1). The
    // signature, "Ris1(x, y, r)", names the procedure and its arguments; it is
    // read once, at the first call. Up to three arguments.
    void enter(QStringView signature, int depth, float a, float b = 0, float c = 0);
    // Registers a call at this depth whose arguments and name the names give.
    void enter(int depth);
    // The call entered last drew or wrote: it becomes a step, once.
    void drew()
    {
        if (steps_.empty() || steps_.back() != lastCall())
            steps_.push_back(lastCall());
    }
    // Of code that may draw after its calls: the call running drew or wrote, when the newest
    // call made was newest. A new step unless the step before was the same call's.
    void drew(qint32 call, qint32 newest);
    // How the calls are named where the signature cannot tell: text(call), and the
    // tree's text of a call, ending as it ended.
    struct Names
    {
        std::function<QString(qint32 call)> text;
        std::function<QString(qint32 call)> inTree;
        std::function<QString(qint32 call)> returned;
        std::function<QString(qint32 call)> values;
        // The procedure and the arguments as recorded, equal for calls alike.
        std::function<std::pair<int, QByteArrayView>(qint32 call)> key;
    };
    void setNames(Names names) { names_ = std::move(names); }
    // Forgets the calls, keeping their memory for the next recursion.
    void restart();
    // Takes the memory for this many calls, of which steps drew, at once.
    void reserve(qsizetype calls, qsizetype steps);
    // Forgets everything and gives back its memory.
    void clear();

    qint32 calls() const { return qint32(calls_.size()); }
    qsizetype steps() const { return qsizetype(steps_.size()); }
    // The call that made step s.
    qint32 stepCall(qsizetype step) const { return steps_[size_t(step)]; }
    // How many steps the calls up to this one made.
    qsizetype stepsUpTo(qint32 call) const;
    bool drewAnything(qint32 call) const;

    qint32 parent(qint32 call) const { return calls_[size_t(call)].parent; }
    qint32 firstChild(qint32 call) const;
    qint32 nextSibling(qint32 call) const { return calls_[size_t(call)].next; }
    // The place of a call among the calls its parent made, the first being 0.
    int childRow(qint32 call) const;
    int childCount(qint32 call) const;
    // The call after the last call this one made, directly or not: its calls are those between.
    qint32 subtreeEnd(qint32 call) const;
    // The first call, ..., the parent of this call, this call.
    QList<qint32> path(qint32 call) const;

    // The procedure's name, "Ris1", once a call was made.
    QString procedureName() const { return procedure; }
    // The call's arguments, in the order of the signature.
    QList<double> arguments(qint32 call) const;
    // "Ris1(x = 100; y = 100; r = 30)"
    QString text(qint32 call) const;
    // The call's arguments as a board shows them: "100; 100; 30", "fib(5)".
    QString values(qint32 call) const;
    // As the tree writes it: a call that drew nothing marked "— остановка".
    QString treeText(qint32 call) const;
    // What the call returned, as the window writes it; empty where nothing is returned.
    QString returned(qint32 call) const
    {
        return names_.returned ? names_.returned(call) : QString();
    }
    // Whether two calls are of the same procedure with the same arguments, and a hash
    // equal for such calls.
    bool sameCall(qint32 a, qint32 b) const;
    size_t callHash(qint32 call) const;
    // The memory the trace holds, in bytes.
    qsizetype bytes() const;

private:
    struct Call
    {
        qint32 parent; // -1 for a first call
        qint32 next;   // the next call the same parent made, or -1
    };
    qint32 lastCall() const { return qint32(calls_.size()) - 1; }

    QString procedure;
    QStringList argumentNames;
    LargeVector<Call> calls_;
    LargeVector<std::array<float, 3>> arguments_; // of the built-in procedures' calls
    LargeVector<qint32> steps_;
    // Of code that may draw after its calls: the newest call at each step, and which calls drew.
    LargeVector<qint32> newestAtStep;
    std::vector<bool> drewCall;
    Names names_;
    // While recording: the call waiting at each depth, and the last call made at each depth.
    std::vector<qint32> waiting;
    std::vector<qint32> lastAtDepth;
};
