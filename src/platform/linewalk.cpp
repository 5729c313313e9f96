#include "linewalk.h"

#include "calltrace.h"

namespace {

// The lines that are steps of their own: all but the signature, braces and comments.
bool doesSomething(ProcedureText::Kind kind)
{
    return kind != ProcedureText::Signature && kind != ProcedureText::Brace
            && kind != ProcedureText::Comment;
}

bool isOutput(ProcedureText::Kind kind)
{
    return kind == ProcedureText::Draw || kind == ProcedureText::Write;
}

} // namespace

LineWalk::LineWalk(const CallTrace &trace, const ProcedureText &text) : trace(trace), text(text)
{
    const QList<int> tests = text.linesOf(ProcedureText::Test);
    for (bool stopping : {false, true}) {
        QList<int> &run = lines[stopping ? 1 : 0];
        run << tests.value(0);
        for (int n : text.branch(stopping))
            if (doesSomething(text.kind(n)))
                run << n;
    }
}

bool LineWalk::stopped(qint32 call) const
{
    return !trace.drewAnything(call) || text.stops(trace.arguments(call));
}

int LineWalk::line(LinePlace place) const
{
    return linesOf(place.call).value(place.step);
}

bool LineWalk::outputs(LinePlace place) const
{
    return isOutput(kind(place));
}

LinePlace LineWalk::lastOf(qint32 call) const
{
    return {call, int(linesOf(call).size()) - 1};
}

qint32 LineWalk::calledAt(LinePlace place) const
{
    const QList<int> &run = linesOf(place.call);
    qint32 child = trace.firstChild(place.call);
    for (int s = 0; s < place.step; ++s)
        if (text.kind(run[s]) == ProcedureText::Call)
            child = trace.nextSibling(child);
    return child;
}

LinePlace LineWalk::callerOf(qint32 call) const
{
    const qint32 caller = trace.parent(call);
    const QList<int> &run = linesOf(caller);
    int callLines = trace.childRow(call);
    int step = 0;
    while (text.kind(run[step]) != ProcedureText::Call || callLines-- > 0)
        ++step;
    return {caller, step};
}

std::optional<LinePlace> LineWalk::next(LinePlace place) const
{
    if (text.kind(line(place)) == ProcedureText::Call)
        return LinePlace{calledAt(place), 0};
    if (place != lastOf(place.call))
        return LinePlace{place.call, place.step + 1};
    return over(place);
}

std::optional<LinePlace> LineWalk::over(LinePlace place) const
{
    if (text.kind(line(place)) == ProcedureText::Call)
        return LinePlace{place.call, place.step + 1};
    if (trace.parent(place.call) < 0)
        return {};
    const LinePlace caller = callerOf(place.call);
    return LinePlace{caller.call, caller.step + 1};
}

std::optional<LinePlace> LineWalk::previous(LinePlace place) const
{
    if (place.step == 0)
        return trace.parent(place.call) < 0 ? std::nullopt
                                            : std::optional<LinePlace>(callerOf(place.call));
    const LinePlace before{place.call, place.step - 1};
    if (text.kind(line(before)) == ProcedureText::Call)
        return lastOf(calledAt(before));
    return before;
}

LinePlace LineWalk::afterOutput(qint32 call) const
{
    const QList<int> &run = linesOf(call);
    for (int step = int(run.size()) - 1; step > 0; --step)
        if (isOutput(text.kind(run[step])))
            return {call, step};
    return lastOf(call);
}

// The calls made at the call lines run so far, and all the calls they made in turn.
qint32 LineWalk::newestCall(LinePlace place) const
{
    if (calledAt(place) == trace.firstChild(place.call))
        return place.call;
    const QList<int> &run = linesOf(place.call);
    int step = place.step - 1;
    while (text.kind(run[step]) != ProcedureText::Call)
        --step;
    // The calls are numbered in the order made: a call's own calls come right after it,
    // up to the next call of the nearest of it and its callers that made one more.
    qint32 up = calledAt({place.call, step});
    while (trace.nextSibling(up) < 0 && trace.parent(up) >= 0)
        up = trace.parent(up);
    return (trace.nextSibling(up) >= 0 ? trace.nextSibling(up) : trace.calls()) - 1;
}

int LineWalk::outputsDone(LinePlace place) const
{
    const QList<int> &run = linesOf(place.call);
    int done = 0;
    for (int step = 0; step <= place.step; ++step)
        done += isOutput(text.kind(run[step])) ? 1 : 0;
    return done;
}
