#pragma once

#include "proceduretext.h"

#include <optional>

class CallTrace;

// A moment of a recursion run line by line: the call that runs, and which of the
// lines it runs it has just run, its test being 0.
struct LinePlace
{
    qint32 call = 0;
    int step = 0;
    bool operator==(const LinePlace &) const = default;
};

// The order in which a recursion ran the lines of its procedure, read from the calls
// it made and the text of the procedure: each call runs its test, then the lines of
// its branch that do something, each call line entering the call it made.
class LineWalk
{
public:
    LineWalk(const CallTrace &trace, const ProcedureText &text);

    // The line the place is at, and what it does.
    int line(LinePlace place) const;
    ProcedureText::Kind kind(LinePlace place) const { return text.kind(line(place)); }
    // The first call's test.
    static LinePlace first() { return {}; }
    // The line run after this one; none once the first call has ended.
    std::optional<LinePlace> next(LinePlace place) const;
    // The line run before this one; none at the first call's test.
    std::optional<LinePlace> previous(LinePlace place) const;
    // On a call line, past the whole call it makes; elsewhere, past the rest of the
    // current call, to its caller's next line. None once the first call has ended.
    std::optional<LinePlace> over(LinePlace place) const;
    // Where a call stands once its drawing or writing is done: at its last drawing or
    // writing line, or at its return.
    LinePlace afterOutput(qint32 call) const;
    // The first call's end.
    LinePlace last() const { return lastOf(0); }

    // The newest call made up to this place.
    qint32 newestCall(LinePlace place) const;
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
