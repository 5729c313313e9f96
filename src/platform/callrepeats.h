#pragma once

#include "calltrace.h"

#include <vector>

// The repeated calls of a trace: each call of a procedure with the same arguments as an
// earlier call of it, with the first such call. Kept only for the repeats, so a trace with
// few costs little.
class CallRepeats
{
public:
    // Finds the repeats among all the trace's calls.
    void find(const CallTrace &trace);
    void clear() { *this = CallRepeats(); }

    // The first call the same as this one, or -1 where it is the first.
    qint32 earlier(qint32 call) const;
    // How many of the calls up to this one repeat an earlier call.
    qint32 countUpTo(qint32 call) const;
    qsizetype bytes() const { return qsizetype(repeats.capacity()) * qsizetype(sizeof(Repeat)); }

private:
    struct Repeat
    {
        qint32 call;
        qint32 first;
    };
    std::vector<Repeat> repeats; // in call order
};
