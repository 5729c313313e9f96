#include "count.h"
#include "verse.h"

#include <QTest>

namespace {

QString verseFor(qint16 n, const QString &before = QString())
{
    QString box = before;
    negr(n, box);
    return box;
}

const QString closing = QStringLiteral("Нет больше негритят!");

} // namespace

class TestVerse : public QObject
{
    Q_OBJECT

private slots:
    void smallCounts();
    void appendsAfterWhatIsThere();
    void deepestRun();
    void countText();
    void readCount_data();
    void readCount();
};

void TestVerse::smallCounts()
{
    QCOMPARE(verseFor(0), closing);

    const QString one = verseFor(1);
    QCOMPARE(one,
             QStringLiteral(" 1 негритят пошли купаться в море,\r\n"
                            " 1 негритят резвились на просторе,\r\n"
                            "Один из них пропал и вот вам результат:\r\n"
                            "\r\n"
                            "Нет больше негритят!"));
    QCOMPARE(one.size(), 135);

    const QString two = verseFor(2);
    QCOMPARE(two.size(), 250);
    const QStringList lines = two.split(u"\r\n"_qs);
    QCOMPARE(lines,
             (QStringList{u" 2 негритят пошли купаться в море,"_qs,
                          u" 2 негритят резвились на просторе,"_qs,
                          u"Один из них пропал и вот вам результат:"_qs, QString(),
                          u" 1 негритят пошли купаться в море,"_qs,
                          u" 1 негритят резвились на просторе,"_qs,
                          u"Один из них пропал и вот вам результат:"_qs, QString(), closing}));
    QVERIFY(two.count(u"\r\n"_qs) == 8 && two.count(u'\r') == 8 && two.count(u'\n') == 8);

    const QStringList ten = verseFor(10).split(u"\r\n"_qs);
    QCOMPARE(ten.size(), 41);
    QCOMPARE(ten.first(), u" 10 негритят пошли купаться в море,"_qs);
    QCOMPARE(ten[36], u" 1 негритят пошли купаться в море,"_qs);
    QCOMPARE(ten.last(), closing);
}

void TestVerse::appendsAfterWhatIsThere()
{
    QVERIFY(verseFor(1, u"мой текст\r\n"_qs).startsWith(u"мой текст\r\n 1 негритят"_qs));
    const QString twice = verseFor(1, verseFor(0));
    QVERIFY(twice.startsWith(u"Нет больше негритят! 1 негритят пошли купаться в море,\r\n"_qs));
}

// The largest count nests 32768 calls; this runs on the main thread's stack,
// in the sanitizer build too.
void TestVerse::deepestRun()
{
    const QString verse = verseFor(32767);
    const QStringList lines = verse.split(u"\r\n"_qs);
    QCOMPARE(lines.size(), 131069);
    QCOMPARE(lines.first(), u" 32767 негритят пошли купаться в море,"_qs);
    QCOMPARE(lines.last(), closing);
    // 115 characters a one-digit verse, 2 more for each further digit.
    qint64 expected = closing.size();
    for (int k = 1; k <= 32767; ++k)
        expected += 115 + 2 * (QString::number(k).size() - 1);
    QCOMPARE(verse.size(), expected);
}

void TestVerse::countText()
{
    QCOMPARE(::countText(10), u" 10"_qs);
    QCOMPARE(::countText(0), u" 0"_qs);
    QCOMPARE(::countText(-3), u"-3"_qs);
    QCOMPARE(::countText(-32768), u"-32768"_qs);
}

void TestVerse::readCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("value");
    QTest::newRow("blanks") << u" 3 "_qs << int(CountReading::Count) << 3;
    QTest::newRow("half down to even") << u"2,5"_qs << int(CountReading::Count) << 2;
    QTest::newRow("half up to even") << u"3,5"_qs << int(CountReading::Count) << 4;
    QTest::newRow("nearest") << u"2,51"_qs << int(CountReading::Count) << 3;
    QTest::newRow("largest") << u"32767"_qs << int(CountReading::Count) << 32767;
    QTest::newRow("rounds into range") << u"32767,4"_qs << int(CountReading::Count) << 32767;
    QTest::newRow("rounds out of range") << u"32767,5"_qs << int(CountReading::OutOfRange) << 0;
    QTest::newRow("40000") << u"40000"_qs << int(CountReading::OutOfRange) << 0;
    QTest::newRow("-40000") << u"-40000"_qs << int(CountReading::OutOfRange) << 0;
    QTest::newRow("1e400") << u"1e400"_qs << int(CountReading::OutOfRange) << 0;
    QTest::newRow("negative") << u"-3"_qs << int(CountReading::Negative) << 0;
    QTest::newRow("rounds to zero") << u"-0,4"_qs << int(CountReading::Count) << 0;
    QTest::newRow("empty") << QString() << int(CountReading::NotANumber) << 0;
    QTest::newRow("letters") << u"десять"_qs << int(CountReading::NotANumber) << 0;
}

void TestVerse::readCount()
{
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(int, value);
    const CountReading count = ::readCount(text, QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(int(count.status), status);
    QCOMPARE(int(count.value), value);
}

QTEST_APPLESS_MAIN(TestVerse)
#include "tst_verse.moc"
