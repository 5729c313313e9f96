// The usual mistakes in the class's own code, each told in Russian on its line and
// naming the names involved, as the runner reports them to the program.
#include "ownrunner.h"

#include <QTest>

class TestOwnMistakes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("RECURSION_RUNNER", RUNNER_PATH); }
    void told_data();
    void told();
};

namespace {

// A program and the whole message its run ends with; a verse program where verses is set.
struct Mistake
{
    const char *name, *code, *message;
    bool verses = false;
};

const Mistake mistakes[] = {
        // Indentation and syntax
        {"no indented block", "def f(n):\n    if n > 0:\n    return n\n",
         "Строка 3: неверный отступ: после строки с «:» ожидается строка с отступом"},
        {"unexpected indent", "x = 1\n    y = 2\n",
         "Строка 2: неверный отступ: лишний отступ, строка выше не кончается «:»"},
        {"unindent", "if True:\n        x = 1\n    y = 2\n",
         "Строка 3: неверный отступ: он не совпадает ни с одним отступом строк выше"},
        {"tabs and spaces", "if True:\n\tx = 1\n        y = 2\n",
         "Строка 3: неверный отступ: в отступах смешаны табуляции и пробелы"},
        {"untranslated syntax", "x = 1 +\n", "Строка 1: синтаксическая ошибка: invalid syntax"},
        // Names and arguments
        {"mistyped parameter", "def ris(x, y, r):\n    circle(x, y, rr)\nris(1, 2, 3)\n",
         "Строка 2: имя «rr» не определено. Возможно, вы имели в виду «r»?"},
        {"parameter in capitals", "def ris(x, y, r):\n    circle(x, y, R)\nris(1, 2, 3)\n",
         "Строка 2: имя «R» не определено. Возможно, вы имели в виду «r»?"},
        {"function in capitals", "def F(n):\n    return n\nx = f(1)\n",
         "Строка 3: имя «f» не определено. Возможно, вы имели в виду «F»?"},
        {"4 and 5 arguments", "def f(a, b, c, d):\n    pass\nf(1, 2, 3, 4, 5)\n",
         "Строка 3: f() принимает 4 аргумента, а передано 5"},
        {"1 argument", "def f(a):\n    pass\nf(1, 2)\n",
         "Строка 3: f() принимает 1 аргумент, а передано 2"},
        {"5 arguments", "def f(a, b, c, d, e):\n    pass\nf(1)\n",
         "Строка 3: f() принимает 5 аргументов, а передан 1"},
        {"a range of arguments", "def f(a, b=1):\n    pass\nf(1, 2, 3)\n",
         "Строка 3: f() принимает от 1 до 2 аргументов, а передано 3"},
        {"missing by name", "def f(a, b, c=1):\n    pass\nf()\n",
         "Строка 3: f(): не переданы аргументы «a» и «b»"},
        {"counter outside", "n = 0\ndef f():\n    n = n + 1\nf()\n",
         "Строка 3: переменная «n» меняется внутри функции, и здесь это своя переменная функции, "
         "ещё без значения. Чтобы менять внешнюю «n», напишите в начале функции «global n» или "
         "передайте n параметром"},
        {"used before given", "def f():\n    print(m)\n    m = 1\nf()\n",
         "Строка 2: переменная «m» используется до того, как получила значение"},
        {"module attribute", "import math\nx = math.sine(1)\n",
         "Строка 2: в модуле math нет «sine». Возможно, вы имели в виду «sin»?"},
        {"value attribute", "x = [1]\nx.appendd(2)\n",
         "Строка 2: у значения типа список нет «appendd». Возможно, вы имели в виду «append»?"},
        // Types
        {"text and number", "def f(r):\n    print('радиус ' + r)\nf(5)\n",
         "Строка 2: нельзя сложить: строка + целое число. Число в строку переводит str(…)"},
        {"operand types", "x = 1 + 'a'\n",
         "Строка 1: действие «+» невозможно: целое число и строка"},
        {"None from a function", "def f(n):\n    n * 2\nx = f(1) + 1\n",
         "Строка 3: действие «+» невозможно: None и целое число. None возвращает функция, "
         "которая не дошла до return"},
        {"not subscriptable", "x = 5\ny = x[0]\n",
         "Строка 2: квадратные скобки […] неприменимы: здесь целое число, а не список или строка"},
        {"not callable", "r = 5\ny = r(1)\n",
         "Строка 2: вызвать можно только функцию, а здесь целое число"},
        {"math of a string", "import math\nx = math.sqrt('4')\n",
         "Строка 2: нужно число, а здесь строка"},
        {"range of a fraction", "for i in range(2.5):\n    pass\n",
         "Строка 1: нужно целое число, а здесь дробное число"},
        {"fractional index", "a = [1, 2]\nx = a[1 / 2]\n",
         "Строка 2: индекс должен быть целым числом, а здесь дробное число"},
        // Values
        {"index", "a = [1]\nx = a[3]\n", "Строка 2: нет элемента с таким индексом: список короче"},
        {"key", "d = {}\nx = d['k']\n", "Строка 2: в словаре нет ключа 'k'"},
        {"not a number", "x = int('abc')\n", "Строка 1: 'abc' — не целое число"},
        {"math domain", "import math\nx = math.sqrt(-1)\n",
         "Строка 2: математическая функция не определена для этого числа (корень из "
         "отрицательного, логарифм нуля)"},
        {"overflow", "x = 2.0 ** 10000\n", "Строка 1: число слишком велико"},
        {"assert", "assert 1 == 2\n", "Строка 1: проверка assert не выполнена"},
        {"assert with text", "assert 1 == 2, 'плохо'\n",
         "Строка 1: проверка assert не выполнена: плохо"},
        {"division", "def f(x):\n    return 1 / x\nf(0)\n", "Строка 2: деление на ноль"},
        {"untranslated", "raise RuntimeError('ой')\n", "Строка 1: RuntimeError: ой"},
        {"input", "def f():\n    return int(input('n = '))\nf()\n",
         "Строка 2: программа не может спрашивать во время рисования: задайте число в тексте "
         "программы"},
        {"input in verses", "n = input()\n",
         "Строка 1: программа не может спрашивать во время записи стихов: задайте число в тексте "
         "программы",
         true},
        // The drawing functions' arguments
        {"fractional colour", "circle(1, 2, 3, 2.5)\n",
         "Строка 1: цвет должен быть целым числом от 0 до 15"},
        {"colour 16", "circle(1, 2, 3, colour=16)\n", "Строка 1: цвет должен быть от 0 до 15"},
        {"zero width", "scale(0, 0, 0, 100)\n",
         "Строка 1: scale(): углы (x1, y1) и (x2, y2) должны различаться и по x, и по y"},
        {"zero height", "scale(-5, 10, 5, 10)\n",
         "Строка 1: scale(): углы (x1, y1) и (x2, y2) должны различаться и по x, и по y"},
        {"infinite", "circle(float('inf'), 2, 3)\n",
         "Строка 1: circle(): x должно быть конечным числом"},
        {"not a number at all", "line(1, 2, 3, float('nan'))\n",
         "Строка 1: line(): y2 должно быть конечным числом"},
        {"too large", "circle(1, 2, 1e300)\n", "Строка 1: circle(): r — слишком большое число"},
        {"text for a number", "line(1, 'a', 3, 4)\n", "Строка 1: line(): y1 должно быть числом"},
        {"missing", "circle(1, 2)\n", "Строка 1: circle(): не передан аргумент r"},
        {"too many", "circle(1, 2, 3, 4, 5)\n",
         "Строка 1: circle() принимает от 3 до 4 аргументов, а передано 5"},
};

} // namespace

void TestOwnMistakes::told_data()
{
    QTest::addColumn<int>("row");
    for (const Mistake &mistake : mistakes)
        QTest::newRow(mistake.name) << int(&mistake - mistakes);
}

void TestOwnMistakes::told()
{
    QFETCH(int, row);
    const Mistake &m = mistakes[row];
    OwnRun run(QString::fromUtf8(m.code));
    runOwnCode(m.verses ? OwnProgram::Verses : OwnProgram::Figures, run, nullptr);
    QVERIFY(run.failure());
    QCOMPARE(run.failure()->message, QString::fromUtf8(m.message));
    // The line the editor marks is the one the message names.
    QCOMPARE(u"Строка %1: "_qs.arg(run.failure()->line),
             run.failure()->message.section(u' ', 0, 1) + u' ');
}

QTEST_MAIN(TestOwnMistakes)
#include "tst_ownmistakes.moc"
