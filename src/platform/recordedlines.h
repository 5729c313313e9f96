#pragma once

#include "lineorder.h"

#include <QString>

class OwnRun;

// The order in which the class's own code ran its lines, read from the record of its
// run: every line run inside the code's functions and every top-level line that called
// one is a step, every pass of a loop included; a line that makes several calls is a
// step again before each call after the first. A place's step is its event in the record.
class RecordedLines final : public LineOrder
{
public:
    // In the verse, a printed line is a line of verse.
    RecordedLines(const OwnRun &run, bool verses) : run(run), verses(verses) { }

    int line(LinePlace place) const override;
    bool outputs(LinePlace place) const override;
    LinePlace first() const override;
    std::optional<LinePlace> next(LinePlace place) const override;
    std::optional<LinePlace> previous(LinePlace place) const override;
    std::optional<LinePlace> over(LinePlace place) const override;
    LinePlace afterOutput(qint32 call) const override;
    LinePlace last() const override;
    qint32 newestCall(LinePlace place) const override;

    // The code that ran.
    QString code() const;
    // The line at the place in words: "Строка 2. Проверка r < 2: 30 < 2 — нет", ...
    QString explain(LinePlace place) const;

private:
    bool isPlace(qsizetype event) const;
    LinePlace placeAt(qsizetype event) const;
    // The first place at or after the event, or the last at or before it.
    std::optional<LinePlace> placeFrom(qsizetype event) const;
    std::optional<LinePlace> placeUntil(qsizetype event) const;
    // The event after the place's own: over the outputs of its line; -1 past the end.
    qsizetype afterLine(qsizetype event) const;
    // The call the line at the place makes next, or -1.
    qint32 callMade(LinePlace place) const;
    // The event of the call's own before this one, the calls it made stepped over.
    qsizetype ownBefore(qint32 call, qsizetype event) const;
    QString explainTest(LinePlace place, const QString &code) const;

    const OwnRun &run;
    bool verses;
};
