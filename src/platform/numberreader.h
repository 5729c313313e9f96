#pragma once

#include <QLocale>
#include <QString>

// Reads the text a user typed as a decimal number.
//
// Blanks around the number are ignored. The number is an optional sign,
// digits with the locale's decimal separator (and '.', unless the locale
// groups digits with '.'), and an optional exponent. Anything else - group
// separators, hexadecimal, "inf", "nan", non-ASCII digits - is not a number.
struct NumberReading
{
    enum Status { Number, NotANumber, Overflow };

    Status status = NotANumber;
    double value = 0; // meaningful only when status is Number

    bool ok() const { return status == Number; }
};

NumberReading readNumber(const QString &text, const QLocale &locale = QLocale::system());

// The typed text as it goes into an error report: cut to 40 characters,
// with "…" after it when it was longer.
QString quotedInput(const QString &text);
