// The class's own code run by recursion-runner and read back into an OwnRun: what
// each program records, how each error and limit ends a run, and the lines recorded
// against those Python's own trace reports.
#include "ownrunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

class TestOwnRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("RECURSION_RUNNER", RUNNER_PATH); }
    void scenarios_data();
    void scenarios();
    void valueLengths_data();
    void valueLengths();
    void linesAsPythonTraces_data();
    void linesAsPythonTraces();
};

namespace {

QString shapeText(const OwnRun::Shape &s)
{
    static const char *kinds[] = {"Line", "LineOn", "Circle", "Scale"};
    return u"%1 %2 %3 %4 %5 %6"_qs.arg(kinds[s.kind])
            .arg(s.a)
            .arg(s.b)
            .arg(s.c)
            .arg(s.d)
            .arg(s.colour);
}

// The run's calls, returns and lines, as "C name", "R" and numbers.
QStringList steps(const OwnRun &run)
{
    QStringList steps;
    for (qsizetype at = 0; at < run.events(); ++at)
        switch (run.event(at)) {
        case OwnRun::Event::Call:
            steps << u"C "_qs + run.functionName(run.function(run.callAt(at)));
            break;
        case OwnRun::Event::Return:
            steps << u"R"_qs;
            break;
        case OwnRun::Event::Line:
            steps << QString::number(run.payload(at));
            break;
        case OwnRun::Event::Output:
            break;
        }
    return steps;
}

// The last shape, or the texts printed; many long ones as their count and the first's length.
QString outputsText(const OwnRun &run)
{
    if (!run.shapes().empty())
        return shapeText(run.shapes().back());
    if (run.printed().size() > 20)
        return u"%1 × %2"_qs.arg(run.printed().size()).arg(run.printed().front().size());
    return run.printed().join(u'|');
}

// The processor time the finished child processes took, in seconds.
double childrenSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

namespace {

// A program and its outcome: how it runs ("figures", "verses", or the runner crashing,
// missing or cancelled), how the failure's message starts (empty for none), the calls
// made, the last call as "depth: text → value", and the last shape or the texts printed.
struct Scenario
{
    const char *name, *code, *how, *failure;
    int calls;
    const char *lastCall, *outputs;
};

const char chain[] = "import math\ndef ris(x, y, r):\n    circle(x, y, r)\n    if r > 5:\n"
                     "        ris(x + r, y, r / 1.5)\nris(100, 100, 30)\n";
const char recursion[] = "Строка 2: рекурсия не остановилась: 10\u00a0000 вложенных вызовов ris. "
                         "Проверьте условие остановки.";

const Scenario table[] = {
        {"figure", chain, "figures", "", 6, "6: ris(x = 178,15; y = 100; r = 3,95)",
         "Circle 178.148 100 3.95062 0 5"},
        {"shapes",
         "print('ж' * 40000)\nscale(-100, 100, 100, -100)\nline(0, 0, 10, 10)\n"
         "line_to(20, 0, colour=3)\n",
         "figures", "", 0, "", "LineOn 0 0 20 0 3"},
        {"value",
         "def fact(n):\n    if n <= 1:\n        return 1\n    return n * fact(n - 1)\n"
         "fact(3)\n",
         "figures", "", 3, "3: fact(n = 1) → 1", ""},
        {"parameters only",
         "def f(n, m=(5,)):\n    s = n + 1\n    k = lambda t: t + n\n"
         "    return [k(i) for i in range(n)], m, s\nf(2)\n",
         "figures", "", 1, "1: f(n = 2; m = (5,)) → ([2, 3], (5,), 3)", ""},
        {"colours", "circle(1, 2, 3, 15)\nline(1, 2, 3, 4)\n", "figures", "", 0, "",
         "Line 1 2 3 4 9"},
        {"values as written", "def f(a, b, c, d):\n    return d\nf(True, 'да', -0.001, [1] * 50)\n",
         "figures", "", 1,
         "1: f(a = True; b = 'да'; c = 0; d = [1, 1, 1, 1, 1, 1, 1, 1, 1, 1…) → "
         "[1, 1, 1, 1, 1, 1, 1, 1, 1, 1…",
         ""},
        {"mutual", "def a(n):\n    if n > 0:\n        b(n - 1)\ndef b(n):\n    a(n)\na(2)\n",
         "figures", "", 5, "5: a(n = 0)", ""},
        {"two top-level calls", "def f(n):\n    return n * 2\nf(1)\nf(2.5)\n", "figures", "", 2,
         "1: f(n = 2,5) → 5", ""},
        {"printing figures",
         "def ris(n):\n    print('шаг', n, sep=': ')\n    if n > 1:\n"
         "        ris(n - 1)\nris(2)\nprint('a', 'b', end='!\\n\\n')\n",
         "figures", "", 2, "2: ris(n = 1)", "шаг: 2\n|шаг: 1\n|a b!\n\n"},
        {"verse",
         "def negr(n):\n    print(n, 'негритят')\n    if n > 1:\n        negr(n - 1)\n"
         "negr(2)\n",
         "verses", "", 2, "2: negr(n = 1)", "2 негритят\n|1 негритят\n"},
        {"no drawing in verses", "circle(1, 2, 3)\n", "verses",
         "Строка 1: имя «circle» не определено.", 0, "", ""},
        {"colon", "def ris(n)\n    pass\n", "figures", "Строка 1: не хватает двоеточия «:»", 0, "",
         ""},
        {"bracket", "x = 1\ny = (2,\nz = 3\n", "figures", "Строка 2: не закрыта скобка «(»", 0, "",
         ""},
        {"name", "def ris(x):\n    cirle(x, 1, 2)\nris(1)\n", "figures",
         "Строка 2: имя «cirle» не определено. Возможно, вы имели в виду «circle»?", 1,
         "1: ris(x = 1)", ""},
        {"arguments", "def ris(x, y, r):\n    pass\nris(1, 2)\n", "figures",
         "Строка 3: ris() принимает 3 аргумента, а передано 2", 0, "", ""},
        {"division", "def f(x):\n    return 1 / x\nf(2)\nf(0)\n", "figures",
         "Строка 2: деление на ноль", 2, "1: f(x = 0)", ""},
        {"colour", "circle(1, 2, 3)\ncircle(1, 2, 3, 16)\n", "figures",
         "Строка 2: цвет должен быть от 0 до 15", 0, "", "Circle 1 2 3 0 5"},
        {"import", "import random\nimport os\n", "figures",
         "Строка 2: модуль «os» недоступен: можно импортировать только math и random.", 0, "", ""},
        {"endless recursion", "def ris(n):\n    ris(n + 1)\nris(1)\n", "figures", recursion, 10'000,
         "10000: ris(n = 10000)", ""},
        {"bare except, through C",
         "def ris(n):\n    try:\n        list(map(ris, [n + 1]))\n    except:\n        pass\n"
         "ris(1)\n",
         "figures", "Строка 3: рекурсия не остановилась", 10'000, "10000: ris(n = 10000)", ""},
        {"calls", "def f(n):\n    return n\nlist(map(f, range(3000000)))\n", "figures",
         "Строка 3: сделано 2\u00a0000\u00a0000 вызовов функций", 2'000'000,
         "1: f(n = 1999999) → 1999999", ""},
        {"memory", "x = [0] * 10**9\n", "figures", "Строка 1: не хватило памяти", 0, "", ""},
        {"time, in a function", "print(1)\ndef f():\n    while True: pass\nf()\n", "verses",
         "Строка 3: программа работает дольше 5 секунд и остановлена (функция f).", 1, "1: f()",
         "1\n"},
        {"lines, in a function", "def f():\n    while True:\n        pass\nf()\n", "figures",
         "Строка 3: выполнено 30\u00a0000\u00a0000 строк, больше нельзя: программа остановлена "
         "(функция f).",
         1, "1: f()", ""},
        {"record, printing", "s = 'ж' * 2000000\nwhile True:\n    print(s)\n", "figures",
         "Строка 3: запись выполнения превысила 150 МБ: программа остановлена.", 0, "",
         "37 × 2000001"},
        {"record, one long print", "print('ж' * 76000000)\n", "figures",
         "Строка 1: запись выполнения превысила 150 МБ: программа остановлена.", 0, "", ""},
        {"one long step", "x = 10 ** 10 ** 8\n", "figures",
         "Строка 1: программа работает дольше 5 секунд", 0, "", ""},
        {"cancelled", "def f():\n    pass\nf()\nwhile True:\n    pass\n", "cancel",
         "Выполнение прервано.", 1, "1: f()", ""},
        {"crash", chain, "crash", "Программа завершилась аварийно (сигнал 11).", 0, "", ""},
        {"missing", chain, "missing", "Не удалось запустить Python: ", 0, "", ""},
};

} // namespace

void TestOwnRun::scenarios_data()
{
    QTest::addColumn<int>("row");
    for (const Scenario &scenario : table)
        QTest::newRow(scenario.name) << int(&scenario - table);
}

void TestOwnRun::scenarios()
{
    QFETCH(int, row);
    const Scenario &s = table[row];
    const QString how = QString::fromUtf8(s.how);

    QTemporaryDir scratch;
    const QString crashing = scratch.filePath(u"runner"_qs);
    if (how == u"crash") {
        QFile script(crashing);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nkill -SEGV $$\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    if (how == u"crash" || how == u"missing")
        qputenv("RECURSION_RUNNER", how == u"crash" ? crashing.toLocal8Bit() : "/nonexistent");
    if (how == u"cancel")
        QTimer::singleShot(900, this, [] {
            for (QWidget *window : QApplication::topLevelWidgets())
                if (auto *progress = qobject_cast<QProgressDialog *>(window);
                    progress && progress->isVisible())
                    progress->cancel();
        });

    OwnRun run(QString::fromUtf8(s.code));
    QElapsedTimer clock;
    clock.start();
    const double processorBefore = childrenSeconds();
    runOwnCode(how == u"verses" ? OwnProgram::Verses : OwnProgram::Figures, run, nullptr);
    qputenv("RECURSION_RUNNER", RUNNER_PATH);
    // Every run ends by its limits: 5 s of the code's processor time, 15 s on the clock.
    QCOMPARE_LT(childrenSeconds() - processorBefore, 8.0);
    QCOMPARE_LT(clock.elapsed(), 18'000);

    const QString failure = QString::fromUtf8(s.failure);
    QCOMPARE(run.failure() ? run.failure()->message.left(failure.size()) : QString(), failure);
    QCOMPARE(run.trace().calls(), s.calls);
    if (const qint32 last = run.trace().calls() - 1; last >= 0) {
        const QString value = run.result(last);
        QCOMPARE(u"%1: "_qs.arg(run.trace().path(last).size()) + run.callText(last)
                         + (value.isEmpty() ? QString() : u" → "_qs + value),
                 QString::fromUtf8(s.lastCall));
    }
    QCOMPARE(outputsText(run), QString::fromUtf8(s.outputs));
}

void TestOwnRun::valueLengths_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    const QString emoji = u"\U0001F600"_qs;
    QTest::newRow("31 digits") << u"10**30"_qs << u"1"_qs + QString(28, u'0') + u'…';
    QTest::newRow("30 digits") << u"10**29"_qs << u"1"_qs + QString(29, u'0');
    QTest::newRow("31 four-byte characters") << u"E(31)"_qs << emoji.repeated(29) + u'…';
    QTest::newRow("30 four-byte characters") << u"E(30)"_qs << emoji.repeated(30);
    QTest::newRow("a string of them") << u"E(29).s"_qs << u'\'' + emoji.repeated(28) + u'…';
}

// A value is written in at most 30 characters, which in four-byte characters fill its
// 120 bytes: 64 of them as a call's arguments, and as its value.
void TestOwnRun::valueLengths()
{
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QString parameters;
    for (int i = 0; i < 64; ++i)
        parameters += u"a%1, "_qs.arg(i);
    OwnRun run(u"class E:\n    def __init__(self, n):\n        self.s = '\U0001F600' * n\n"
               "    def __repr__(self):\n        return self.s\n"
               "def f(%1):\n    return a63\nf(*[%2] * 64)\n"_qs.arg(parameters.chopped(2), value));
    runOwnCode(OwnProgram::Figures, run, nullptr);
    QVERIFY(!run.failure());
    const qint32 last = run.trace().calls() - 1;
    QCOMPARE(run.functionName(run.function(last)), u"f"_qs);
    QCOMPARE(run.arguments(last), QStringList(64, shown));
    QCOMPARE(run.result(last), shown);
}

void TestOwnRun::linesAsPythonTraces_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("loop") << "def ris(n):\n    for i in range(n):\n        x = i * 2\n"
                             "    return n\nfor k in range(2):\n    y = k\n    ris(k + 1)\n";
    QTest::newRow("mutual") << "def a(n):\n    if n > 0:\n        b(n - 1)\n"
                               "def b(n):\n    a(n)\na(3)\n";
    QTest::newRow("exception caught")
            << "def f(n):\n    if n == 2:\n        raise ValueError(n)\n    f(n + 1)\n"
               "def g():\n    try:\n        f(0)\n    except ValueError:\n        return 1\n"
               "g()\nf(5) if False else None\n";
}

// Python's own trace of the same code: the lines in its functions, and the top-level
// lines that call one.
void TestOwnRun::linesAsPythonTraces()
{
    QFETCH(QString, code);
    OwnRun run(code);
    runOwnCode(OwnProgram::Figures, run, nullptr);
    QVERIFY(!run.failure());

    static const char tracer[] = R"(import sys
steps, top = [], None
def trace(frame, event, arg):
    global top
    code = frame.f_code
    if code.co_filename != '<процедура>':
        return None
    if code.co_name == '<module>':
        if event == 'line':
            top = frame.f_lineno
    elif event == 'call':
        if top:
            steps.append(str(top))
            top = None
        steps.append('C ' + code.co_name)
    elif event == 'line':
        steps.append(str(frame.f_lineno))
    elif event == 'return':
        steps.append('R')
    return trace
code = compile(sys.stdin.read(), '<процедура>', 'exec')
sys.settrace(trace)
exec(code, {})
sys.settrace(None)
print('\n'.join(steps))
)";
    QProcess python;
    python.start(PYTHON_PATH, {u"-c"_qs, QString::fromUtf8(tracer)});
    python.write(code.toUtf8());
    python.closeWriteChannel();
    QVERIFY(python.waitForFinished());
    const QStringList traced
            = QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(traced.size() > 5);
    QCOMPARE(steps(run), traced);
}

QTEST_MAIN(TestOwnRun)
#include "tst_ownrun.moc"
