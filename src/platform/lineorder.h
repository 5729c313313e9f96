#pragma once

#include <QtGlobal>

#include <optional>

// A moment of a recursion run line by line: the call that runs (-1 at the top level of
// the class's own code), and which step of the run it is at, as the order of lines
// numbers its steps.
struct LinePlace
{
    qint32 call = 0;
    int step = 0;
    bool operator==(const LinePlace &) const = default;
};

// The order in which a recursion ran the lines of its code, as the pace "по строкам"
// walks it: worked out from the calls and the procedure's text for the built-in
// procedures, read from the record for the class's own.
class LineOrder
{
public:
    virtual ~LineOrder() = default;

    // The line the place is at, numbered from 1.
    virtual int line(LinePlace place) const = 0;
    // Whether the line at the place drew or wrote.
    virtual bool outputs(LinePlace place) const = 0;
    // The first line run.
    virtual LinePlace first() const = 0;
    // The line run after this one; none once the run has ended.
    virtual std::optional<LinePlace> next(LinePlace place) const = 0;
    // The line run before this one; none at the first.
    virtual std::optional<LinePlace> previous(LinePlace place) const = 0;
    // On a call line, past the whole call it makes; elsewhere, past the rest of the
    // current call, to its caller's next line. None once the run has ended.
    virtual std::optional<LinePlace> over(LinePlace place) const = 0;
    // Where a call stands once its drawing or writing is done: at its last drawing or
    // writing line, or at its return.
    virtual LinePlace afterOutput(qint32 call) const = 0;
    // The last line run.
    virtual LinePlace last() const = 0;
    // The newest call made up to this place.
    virtual qint32 newestCall(LinePlace place) const = 0;
};
