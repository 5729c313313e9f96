#pragma once

#include <QLocale>
#include <QString>

// The count typed into the prompt: read as a number, rounded to the nearest
// whole number (an exact half to the even one), within -32768 ... 32767 and
// not negative.
struct CountReading
{
    enum Status { Count, NotANumber, OutOfRange, Negative };

    Status status = NotANumber;
    qint16 value = 0; // meaningful only when status is Count

    bool ok() const { return status == Count; }
};

CountReading readCount(const QString &text, const QLocale &locale = QLocale::system());
