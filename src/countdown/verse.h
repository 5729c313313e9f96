#pragma once

#include "calltrace.h"

#include <QList>
#include <QString>

// The count as the verse writes it: one blank before a count of zero or
// more, a minus sign before a negative one (2 gives " 2", -3 gives "-3").
QString countText(qint16 n);

// What the verse writer wrote, and where the writing of each of its calls begins.
struct Verses
{
    QString text;
    QList<qsizetype> callStarts;
    CallTrace *calls = nullptr; // where each call goes as well, or nullptr

    // Where what the call wrote begins in the text; the text's end for the call after the last.
    qsizetype start(qsizetype call) const { return callStarts.value(call, text.size()); }
};

// Appends to Text1 the verse for n, n - 1, ..., 1 and then the closing line,
// lines separated by carriage return and line feed. Requires n >= 0.
void negr(short n, Verses &Text1);
