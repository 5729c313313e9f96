#pragma once

#include <QString>
#include <QTest>

// Texts a user might type or paste into a prompt, with how each reads.
enum class Reads { NotANumber, Overflow, Zero };

inline void addHostileInputs()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Reads>("reads");
    const QString separator = QLocale::system().decimalPoint();
    QTest::newRow("empty") << QString() << Reads::NotANumber;
    QTest::newRow("blanks") << u"    "_qs << Reads::NotANumber;
    QTest::newRow("100 000 letters") << QString(100'000, u'x') << Reads::NotANumber;
    QTest::newRow("100 000 digits") << QString(100'000, u'9') << Reads::Overflow;
    QTest::newRow("control characters") << u"1\u00002\u0007"_qs << Reads::NotANumber;
    QTest::newRow("right to left") << u"\u202e21"_qs << Reads::NotANumber;
    QTest::newRow("arabic digits") << u"\u0661\u0662"_qs << Reads::NotANumber;
    QTest::newRow("combining") << u"1\u0301"_qs << Reads::NotANumber;
    QTest::newRow("bold markup") << u"<b>x</b>"_qs << Reads::NotANumber;
    QTest::newRow("image markup") << u"<img src=x>"_qs << Reads::NotANumber;
    QTest::newRow("1e400") << u"1e400"_qs << Reads::Overflow;
    QTest::newRow("-1e400") << u"-1e400"_qs << Reads::Overflow;
    QTest::newRow("1e-400") << u"1e-400"_qs << Reads::Zero;
    QTest::newRow("NaN") << u"NaN"_qs << Reads::NotANumber;
    QTest::newRow("inf") << u"inf"_qs << Reads::NotANumber;
    QTest::newRow("0x10") << u"0x10"_qs << Reads::NotANumber;
    QTest::newRow("1,5,5") << u"1,5,5"_qs << Reads::NotANumber;
    QTest::newRow("lone sign") << u"-"_qs << Reads::NotANumber;
    QTest::newRow("lone separator") << separator << Reads::NotANumber;
}

// The typed text as a report quotes it: at most 40 characters, then "…".
inline QString quoted(const QString &typed)
{
    return typed.size() > 40 ? typed.first(40) + u'…' : typed;
}
