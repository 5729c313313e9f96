#pragma once

#include "lineorder.h"
#include "proceduretext.h"

class CallTrace;

// The order in which a built-in procedure ran its lines, worked out from the calls it
// made and its text: each call runs its test, then the lines of its branch that do
// something, each call line entering the call it made. A place's step is the line's
// place among the lines its call runs, its test being 0.
class LineWalk final : public LineOrder
{
public:
    LineWalk(const CallTrace &trace, const ProcedureText &text);

    int line(LinePlace place) const override;
    bool outputs(LinePlace place) const override;
    ProcedureText::Kind kind(LinePlace place) const { return text.kind(line(place)); }
    // The first call's test.
    LinePlace first() const override { return {}; }
    std::optional<LinePlace> next(LinePlace place) const override;
    std::optional<LinePlace> previous(LinePlace place) const override;
    std::optional<LinePlace> over(LinePlace place) const override;
    LinePlace afterOutput(qint32 call) const override;
    // The first call's end.
    LinePlace last() const override { return lastOf(0); }
    qint32 newestCall(LinePlace place) const override;

    // The drawing or writing lines the current call has run.
    int outputsDone(LinePlace place) const;
    // The call returns at its test.
    bool stopped(qint32 call) const;

private:
    const QList<int> &linesOf(qint32 call) const { return lines[stopped(call) ? 1 : 0]; }
    LinePlace lastOf(qint32 call) const;
    // The call the call line at this step of the call makes.
    qint32 calledAt(LinePlace place) const;
    // The step of the caller's call line that made this call.
    LinePlace callerOf(qint32 call) const;

    const CallTrace &trace;
    const ProcedureText &text;
    QList<int> lines[2]; // the lines a call runs: going on, stopping
};
