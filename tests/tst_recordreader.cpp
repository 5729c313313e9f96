// The runner's record read as untrusted input: records a program could write into it
// by hand, each read whole and byte by byte, end as damaged with their reason, or are
// read as they stand.
#include "recordreader.h"
#include "runner/recordformat.h"

#include <QTest>

#include <cmath>
#include <cstring>

namespace {

// Builds a record event by event.
struct Bytes
{
    QByteArray bytes;
    Bytes &tag(char tag) { return bytes += tag, *this; }
    Bytes &number(quint32 n)
    {
        char out[record::maxNumberBytes];
        bytes.append(out, record::putNumber(out, n) - out);
        return *this;
    }
    Bytes &text(const QByteArray &text)
    {
        return number(quint32(text.size())), bytes += text, *this;
    }
    Bytes &raw(const QByteArray &raw) { return bytes += raw, *this; }
    Bytes &shape(float a, float b, float c, float d, char colour, char kind)
    {
        tag(record::Shape);
        for (float f : {a, b, c, d})
            bytes.append(reinterpret_cast<const char *>(&f), sizeof f);
        return raw(QByteArray(1, colour) + QByteArray(1, kind));
    }
    // "G", a function f(n), a call f(3) and a line in it.
    Bytes &started()
    {
        tag(record::Guard).text("Защита: seccomp");
        tag(record::Function).text("f").number(1).text("n");
        return tag(record::Call)
                .number(0)
                .number(2)
                .raw("\x01"
                     "3")
                .tag(record::Line)
                .number(2);
    }
};

} // namespace

class TestRecordReader : public QObject
{
    Q_OBJECT

private slots:
    void records_data();
    void records();
};

void TestRecordReader::records_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("damage"); // empty for a record read as it stands
    QTest::addColumn<int>("calls");      // the calls read before the damage
    const auto row = [](const char *name, const Bytes &b, const char *damage, int calls) {
        QTest::newRow(name) << b.bytes << QString::fromUtf8(damage) << calls;
    };
    const float nan = std::nanf("");
    row("whole",
        Bytes().started()
                .tag(record::Return)
                .raw("\x01"
                     "6")
                .tag(record::End),
        "", 1);
    row("cut short", Bytes().started().tag(record::Print).number(10).raw("ab"), "", 1);
    row("random bytes", Bytes().raw("\x01\x9f\xee"), "событие неизвестного вида", 0);
    row("a return before any call", Bytes().tag(record::Return).raw(QByteArray(1, '\0')),
        "возврат без вызова", 0);
    row("a value outside any call",
        Bytes().tag(record::Value)
                .raw("\x01"
                     "7"),
        "значение вне вызова", 0);
    row("the guard late", Bytes().started().tag(record::Guard).text("Защита"),
        "защита названа не в начале", 1);
    row("a call of a function never announced",
        Bytes().started().tag(record::Call).number(7).number(0), "вызов функции, которой нет", 1);
    row("an argument longer than its bytes",
        Bytes().started()
                .tag(record::Call)
                .number(0)
                .number(2)
                .raw("\x05"
                     "3"),
        "неверные аргументы вызова", 1);
    row("more arguments than parameters",
        Bytes().started()
                .tag(record::Call)
                .number(0)
                .number(4)
                .raw("\x01"
                     "3\x01"
                     "4"),
        "неверные аргументы вызова", 1);
    row("an impossible count of parameters",
        Bytes().tag(record::Function).text("f").number(100'000),
        "невозможное число параметров или функций", 0);
    row("arguments of 2 GB", Bytes().started().tag(record::Call).number(0).number(0x7fffffff),
        "слишком длинные аргументы", 1);
    row("a huge text", Bytes().tag(record::Print).number(0x7fffffff), "слишком длинный текст", 0);
    row("a number past 32 bits", Bytes().tag(record::Line).raw("\xff\xff\xff\xff\xff\x01"),
        "неверное число", 0);
    row("a name not in UTF-8", Bytes().tag(record::Function).text("f\xff").number(0),
        "текст не в UTF-8", 0);
    row("a value not in UTF-8", Bytes().started().tag(record::Return).raw("\x02\xc3\x28"),
        "неверное значение", 1);
    row("a value of 121 bytes",
        Bytes().started().tag(record::Return).raw('y' + QByteArray(121, 'x')), "неверное значение",
        1);
    Bytes nested;
    nested.started();
    for (int call = 1; call <= 10'000; ++call)
        nested.tag(record::Call).number(0).number(0);
    row("10 001 nested calls", nested, "невозможное число вызовов", 10'000);
    row("line 0", Bytes().started().tag(record::Line).number(0),
        "строки с таким номером нет в тексте", 1);
    row("a line past the code", Bytes().started().tag(record::Line).number(5),
        "строки с таким номером нет в тексте", 1);
    row("a failure on a line past the code",
        Bytes().tag(record::Failure).number(9).text("").text("Строка 9"),
        "строки с таким номером нет в тексте", 0);
    row("a circle at NaN", Bytes().shape(nan, 1, 2, 0, 5, 2), "неверная фигура", 0);
    row("colour 16", Bytes().shape(1, 1, 2, 0, 16, 2), "неверная фигура", 0);
    row("a shape of no kind", Bytes().shape(1, 1, 2, 0, 5, 4), "неверная фигура", 0);
    row("a scale of no width", Bytes().shape(0, 0, 0, 100, 0, 3), "неверная система координат", 0);
    row("a scale of fractions", Bytes().shape(0, 0, 0.5, 100, 0, 3), "неверная система координат",
        0);
}

// Read whole, or a byte at a time as a slow pipe brings it, the record reads alike.
void TestRecordReader::records()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, damage);
    QFETCH(int, calls);
    for (const qsizetype part : {record.size(), record.size() < 1000 ? 1 : qsizetype(4096)}) {
        OwnRun run(u"def f(n):\n    return n * 2\nf(3)\n"_qs);
        RecordReader reader(run);
        for (qsizetype at = 0; at < record.size(); at += part)
            reader.take(QByteArrayView(record).sliced(at, std::min(part, record.size() - at)));
        QCOMPARE(reader.damage(), damage);
        QCOMPARE(reader.damaged(), !damage.isEmpty());
        QCOMPARE(run.trace().calls(), calls);
        QCOMPARE(reader.ended(), !damage.isEmpty() || record.endsWith(record::End));
    }
}

QTEST_GUILESS_MAIN(TestRecordReader)
#include "tst_recordreader.moc"
