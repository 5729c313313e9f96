#include "count.h"
#include "numberreader.h"

#include <QTest>

using Read = NumberReading::Status;
using Counted = CountReading::Status;

// How a typed text reads in a locale, as a number and as a count.
// clang-format off
struct Reading { const char *text; Read status; double value; Counted countStatus; int count; const char *locale = "ru_RU"; };
// clang-format on

class TestReading : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<Reading>("row");
        QTest::addColumn<QString>("text");
        const Read N = Read::Number, NaN = Read::NotANumber, Big = Read::Overflow;
        const Counted C = Counted::Count, No = Counted::NotANumber, Out = Counted::OutOfRange;
        const Counted Neg = Counted::Negative;
        // clang-format off
        // Russian: ',' separates decimals, a blank groups digits; '.' is taken as well.
        // English groups digits with ',', German with '.': only the other one separates decimals.
        const Reading rows[] = {
            {" 33,75 ", N, 33.75, C, 34},   {"33.75", N, 33.75, C, 34},       {"2,5", N, 2.5, C, 2},           {"3,5", N, 3.5, C, 4},
            {",5", N, 0.5, C, 0},           {"5,", N, 5, C, 5},               {"+7", N, 7, C, 7},              {"\t2,5E-1\n", N, 0.25, C, 0},
            {"1e+3", N, 1000, C, 1000},     {"32767,4", N, 32767.4, C, 32767}, {"32767,5", N, 32767.5, Out, 0}, {"-0,4", N, -0.4, C, 0},
            {"-3", N, -3, Neg, 0},          {"-32768", N, -32768, Neg, 0},    {"-32769", N, -32769, Out, 0},   {"1e-400", N, 0, C, 0},
            {"0e99999999999", N, 0, C, 0},  {"1e400", Big, 0, Out, 0},        {"-1e400", Big, 0, Out, 0},      {"", NaN, 0, No, 0},
            {"   ", NaN, 0, No, 0},         {"-", NaN, 0, No, 0},             {",", NaN, 0, No, 0},            {"1,5,5", NaN, 0, No, 0},
            {"1 000", NaN, 0, No, 0},       {"0x10", NaN, 0, No, 0},          {"inf", NaN, 0, No, 0},          {"NaN", NaN, 0, No, 0},
            {"1e", NaN, 0, No, 0},          {"--1", NaN, 0, No, 0},           {"12abc", NaN, 0, No, 0},        {"١٢", NaN, 0, No, 0},
            {"\u202e2\u0301", NaN, 0, No, 0}, {"<b>1</b>", NaN, 0, No, 0},    {"1\a2", NaN, 0, No, 0},
            {" -2.5e1 ", N, -25, Neg, 0, "en_US"}, {"33,75", NaN, 0, No, 0, "en_US"}, {".", NaN, 0, No, 0, "en_US"},
            {"33,75", N, 33.75, C, 34, "de_DE"},   {"33.75", NaN, 0, No, 0, "de_DE"},
        };
        // clang-format on
        for (const Reading &row : rows)
            QTest::addRow("%s: %s", row.locale, row.text) << row << QString::fromUtf8(row.text);
        QTest::newRow("NUL inside") << Reading{"", NaN, 0, No, 0} << u"1\u00002"_qs;
        QTest::newRow("100 000 x") << Reading{"", NaN, 0, No, 0} << QString(100'000, u'x');
        QTest::newRow("100 000 9") << Reading{"", Big, 0, Out, 0} << QString(100'000, u'9');
    }
    // A count is rounded half to even, refused when negative or beyond 16 bits.
    void reads()
    {
        QFETCH(Reading, row);
        QFETCH(QString, text);
        const NumberReading reading = readNumber(text, QLocale(row.locale));
        QCOMPARE(reading.status, row.status);
        if (reading.ok())
            QCOMPARE(reading.value, row.value);
        const CountReading counted = readCount(text, QLocale(row.locale));
        QCOMPARE(counted.status, row.countStatus);
        QCOMPARE(int(counted.value), row.count);
    }
    // Reports quote at most 40 characters; one beyond the basic plane counts as one, never split.
    void cutsLongInput()
    {
        const QString forty(40, u'я'), emoji = QString::fromUtf8("😀"), a39(39, u'a');
        QCOMPARE(quotedInput(forty) + quotedInput(forty + u'x'), forty + forty + u'…');
        QCOMPARE(quotedInput(a39 + emoji + emoji), a39 + emoji + u'…');
    }
};

QTEST_APPLESS_MAIN(TestReading)
#include "tst_reading.moc"
