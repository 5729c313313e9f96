#include "callrepeats.h"

#include <algorithm>
#include <bit>

// An open-addressing table of the first calls, by their hash, at most half full.
void CallRepeats::find(const CallTrace &trace)
{
    repeats.clear();
    const size_t tableSize = std::bit_ceil(size_t(trace.calls()) * 2 + 2);
    std::vector<qint32> firsts(tableSize, -1);
    for (qint32 call = 0; call < trace.calls(); ++call) {
        size_t slot = trace.callHash(call) & (tableSize - 1);
        for (; firsts[slot] >= 0; slot = (slot + 1) & (tableSize - 1))
            if (trace.sameCall(firsts[slot], call))
                break;
        if (firsts[slot] < 0)
            firsts[slot] = call;
        else
            repeats.push_back({call, firsts[slot]});
    }
    repeats.shrink_to_fit();
}

qint32 CallRepeats::earlier(qint32 call) const
{
    const auto at = std::lower_bound(repeats.begin(), repeats.end(), call,
                                     [](const Repeat &r, qint32 c) { return r.call < c; });
    return at != repeats.end() && at->call == call ? at->first : -1;
}

qint32 CallRepeats::countUpTo(qint32 call) const
{
    return qint32(std::upper_bound(repeats.begin(), repeats.end(), call,
                                   [](qint32 c, const Repeat &r) { return c < r.call; })
                  - repeats.begin());
}
