#include "numberreader.h"

#include <QTest>

#include <cmath>

class TestNumberReader : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void cutsLongInput();
};

void TestNumberReader::reads_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("value");

    const int number = NumberReading::Number, notANumber = NumberReading::NotANumber,
              overflow = NumberReading::Overflow;
    struct Row
    {
        const char *text;
        int status;
        double value;
    };

    // Russian: ',' separates decimals, a blank groups digits; '.' is taken as well.
    const Row russian[] = {
            {"30", number, 30},          {" 33,75 ", number, 33.75}, {"33.75", number, 33.75},
            {"-30", number, -30},        {"+7", number, 7},          {",5", number, 0.5},
            {"5,", number, 5},           {"1e3", number, 1000},      {"2,5E-1", number, 0.25},
            {"1e+2", number, 100},       {"\t12\n", number, 12},     {"1e-400", number, 0},
            {"1e400", overflow, 0},      {"-1e400", overflow, 0},    {"0e99999999999", number, 0},
            {"0,00001e-330", number, 0}, {"", notANumber, 0},        {"   ", notANumber, 0},
            {"-", notANumber, 0},        {",", notANumber, 0},       {"1,5,5", notANumber, 0},
            {"1 000", notANumber, 0},    {"0x10", notANumber, 0},    {"inf", notANumber, 0},
            {"NaN", notANumber, 0},      {"1e", notANumber, 0},      {"1e+", notANumber, 0},
            {"e5", notANumber, 0},       {"--1", notANumber, 0},     {"12abc", notANumber, 0},
            {"١٢", notANumber, 0},       {"１２", notANumber, 0},    {"<b>1</b>", notANumber, 0},
    };
    // English: '.' separates decimals, ',' groups digits and is refused.
    const Row english[] = {
            {"33.75", number, 33.75},  {"33,75", notANumber, 0}, {"1,000", notANumber, 0},
            {" -2.5e1 ", number, -25}, {".", notANumber, 0},
    };
    // German groups digits with '.', so only ',' separates decimals.
    const Row german[] = {{"33,75", number, 33.75}, {"33.75", notANumber, 0}};

    const auto add = [](const char *locale, const auto &rows) {
        for (const Row &row : rows)
            QTest::addRow("%s: %s", locale, row.text)
                    << QString(locale) << QString::fromUtf8(row.text) << row.status << row.value;
    };
    add("ru_RU", russian);
    add("en_US", english);
    add("de_DE", german);
}

void TestNumberReader::reads()
{
    QFETCH(QString, localeName);
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(double, value);

    const NumberReading reading = readNumber(text, QLocale(localeName));
    QCOMPARE(int(reading.status), status);
    if (reading.ok()) {
        QCOMPARE(reading.value, value);
        QVERIFY(std::isfinite(reading.value));
    }
}

void TestNumberReader::cutsLongInput()
{
    const QString forty(40, u'я');
    QCOMPARE(quotedInput(forty), forty);
    QCOMPARE(quotedInput(forty + u'x'), forty + u'…');
    // A character outside the basic plane counts as one and is never split.
    const QString emoji = QString::fromUtf8("😀");
    const QString text = QString(39, u'a') + emoji + emoji;
    QCOMPARE(quotedInput(text), QString(39, u'a') + emoji + u'…');
}

QTEST_APPLESS_MAIN(TestNumberReader)
#include "tst_numberreader.moc"
