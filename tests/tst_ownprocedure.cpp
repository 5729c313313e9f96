#include "callswindow.h"
#include "captionbutton.h"
#include "codeeditor.h"
#include "figurewindow.h"
#include "ownwindow.h"
#include "picturebox.h"
#include "picturefile.h"
#include "procedurepart.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

// The triangle's colours, the same on every run: the clock stands still.
class StillClock : public RandomColours
{
    float TimeOfDay() override { return 43200.5f; }
};

// The picture's ink, whatever its colours.
QImage ink(const QImage &picture)
{
    QImage mask = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            row[x] = row[x] == qRgb(255, 255, 255) ? row[x] : qRgb(0, 0, 0);
    }
    return mask;
}

} // namespace

class TestOwnProcedure : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        qputenv("RECURSION_RUNNER", RUNNER_PATH);
        dialogs.emplace();
    }

    // Each example, run, draws what its button draws, pixel for pixel, and tells the same
    // counts; the triangle's colours are random.
    void examplesDrawAsTheButtons()
    {
        using figdraw::Form1;
        const QList<std::tuple<QString, CaptionButton * Form1::*, QString>> examples{
                {u"Окружности по горизонтали"_qs, &Form1::Command1, u"30"_qs},
                {u"Окружности по вертикали"_qs, &Form1::Command7, u"30"_qs},
                {u"Окружности по диагонали"_qs, &Form1::Command8, u"30"_qs},
                {u"Снежинка"_qs, &Form1::Command2, u"60"_qs},
                {u"Снежинка 6-конечная"_qs, &Form1::Command5, u"30"_qs},
                {u"Салфетка Серпинского"_qs, &Form1::Command6, {}}};
        for (const auto &[title, button, size] : examples) {
            StillClock colours;
            Form1 byButton(colours), byCode(colours);
            dialogs->nextAnswer(size);
            (byButton.*button)->click();
            menuItem(&byCode, title)->trigger();
            runOwn(byCode);
            QCOMPARE(byCode.Label2->text(), byButton.Label2->text());
            const bool random = button == &Form1::Command6;
            QCOMPARE(random ? ink(byCode.Picture1->picture()) : byCode.Picture1->picture(),
                     random ? ink(byButton.Picture1->picture()) : byButton.Picture1->picture());
        }
    }

    // The verse's example writes what "Пуск" writes for 3, and so again after it.
    void verseExampleWritesAsStart()
    {
        countdown::Form1 byStart, byCode;
        for (int twice = 0; twice < 2; ++twice) {
            dialogs->nextAnswer(u"3"_qs);
            byStart.Command2->click();
            menuItem(&byCode, u"Негритята"_qs)->trigger();
            runOwn(byCode);
        }
        QCOMPARE(byCode.Text1->toPlainText(), byStart.Text1->toPlainText());
        // Changed code is not lost: the question about saving it, cancelled, keeps the program.
        byCode.findChild<OwnProcedureWindow *>()->editor->appendPlainText(u"negr(1)"_qs);
        byCode.show();
        menuItem(&byCode, u"Показать вызовы"_qs)->trigger();
        QVERIFY(!byCode.close());
        QVERIFY(dialogs->reportText.contains(u"Сохранить изменения в процедуре?"_qs));
        QTest::qWait(20);
        QVERIFY(byCode.findChild<CallsWindow *>()->isVisible());
    }

    // The verse's example by lines: the box holds what the lines printed so far.
    void verseByLines()
    {
        countdown::Form1 form;
        form.show();
        menuItem(&form, u"Показать вызовы"_qs)->trigger();
        menuItem(&form, u"Писать по строкам"_qs)->trigger();
        menuItem(&form, u"Негритята"_qs)->trigger();
        runOwn(form);
        QElapsedTimer since;
        for (const QString &key : {u"Right"_qs, u"Right"_qs, u"Right"_qs, u"Right"_qs, u"Left"_qs})
            QVERIFY(commonStep(key, &form, since, [] { return true; }));
        auto *calls = form.findChild<CallsWindow *>();
        QCOMPARE(calls->procedure->explanation->text(),
                 u"Строка 10. Строка стихов: « 3 негритят резвились на просторе,»"_qs);
        QCOMPARE(form.Text1->toPlainText(),
                 u" 3 негритят пошли купаться в море,\n 3 негритят резвились на просторе,\n"_qs);
        QCOMPARE(calls->heading->text(), u"Вызов 1 из 4"_qs);
        // Keys typed into the code edit it, and the calls window opens beside the code's window.
        auto *own = form.findChild<OwnProcedureWindow *>();
        const QString code = own->editor->toPlainText();
        QTest::keyClick(own->editor, Qt::Key_Space);
        QCOMPARE(own->editor->toPlainText().size(), code.size() + 1);
        QCOMPARE(calls->heading->text(), u"Вызов 1 из 4"_qs);
        menuItem(&form, u"Показать вызовы"_qs)->trigger();
        own->showAction()->trigger();
        menuItem(&form, u"Показать вызовы"_qs)->trigger();
        const int room = form.screen()->availableGeometry().width() - form.frameGeometry().width();
        QVERIFY(room < own->frameGeometry().width() + calls->frameGeometry().width()
                || !calls->frameGeometry().intersects(own->frameGeometry()));
    }

    // The class's own code, run at a pace, then keys or a call chosen in the tree ("tree:0.1",
    // rows from the top): the calls window's heading and the explanation of the line
    // highlighted, the label's counts, the messages, the line marked in the editor, and where
    // on the canvas (0-200) the orange mark of the step shows, if anywhere.
    void ownCodeScenarios()
    {
        // clang-format off
        struct Scenario { QString code; QStringList steps; QString heading, explained, counts, messages; int marked = 0; QPoint orange = {}; };
        const QString fact = u"def fact(n):\n    if n == 0:\n        return 1\n    return n * fact(n - 1)\n\nfact(3)\n"_qs;
        const QString ris = u"def ris(x, y, r):\n    if r < 15:\n        return\n    circle(x, y, r)\n    ris(x + r, y, r / 2)\n    ris(x - r, y, r / 2)\n\nris(100, 100, 40)\n"_qs;
        const QString loop = u"def ris(r):\n    for k in range(2):\n        circle(100, 100, r + k)\n    if r > 10:\n        ris(r - 10)\n\nris(20)\nris(5)\n"_qs;
        const QString failing = u"def f(n):\n    circle(100, 100, n)\n    if n < 20:\n        x = 1 / 0\n    f(n - 10)\n\nf(30)\n"_qs;
        const QString drawsThenStops = u"def ris(r):\n    circle(100, 100, r)\n    if r < 10:\n        return\n    ris(r / 2)\n\nris(30)\n"_qs;
        const QString lineOn = u"def g(x):\n    line(10, 10, x, 10)\n    circle(50, 50, 20)\n    line_to(x, 100)\n\ng(90)\n"_qs;
        const QString assigns = u"def f(x):\n    if x > 50:\n        x2 = x * 1.41421\n    x2 += 1\n    circle(x2, 100, 5)\n\nf(100)\n"_qs;
        const QList<Scenario> scenarios{
            {fact, {u"по строкам"_qs}, u"Программа: вызовов сделано 0 из 4"_qs, u"Строка 6. Вызов: fact(n = 3)"_qs, u"0/0/0"_qs, {}},
            {fact, {u"по строкам"_qs, u"Right"_qs}, u"Вызов 1 из 4"_qs, u"Строка 2. Проверка n == 0: 3 == 0 — нет"_qs, u"1/1/0"_qs, {}},
            {fact, {u"по строкам"_qs, u"Right*8"_qs}, u"Вызов 4 из 4"_qs, u"Строка 3. Возврат: fact(n = 0) закончен, значение 1"_qs, u"4/4/0"_qs, {}},
            {fact, {u"по строкам"_qs, u"Right*2"_qs, u"Shift+Right"_qs}, {}, {}, u"4/4/0"_qs, {}},
            {u"def two(n):\n    if n == 0:\n        return 0\n    return two(n - 1) + two(n - 1)\n\ntwo(1)\n"_qs, {u"по строкам"_qs, u"Right*5"_qs}, u"Вызов 1 из 3"_qs, u"Строка 4. Рекурсивный вызов: two(n = 0)"_qs, u"2/1/0"_qs, {}},
            {fact, {u"по строкам"_qs, u"Right*8"_qs, u"Left"_qs}, u"Вызов 4 из 4"_qs, u"Строка 2. Проверка n == 0: 0 == 0 — да"_qs, u"4/4/0"_qs, {}},
            {fact + u"fact(1)\n"_qs, {u"по строкам"_qs, u"Shift+Right"_qs}, u"Программа: вызовов сделано 4 из 6"_qs, u"Строка 7. Вызов: fact(n = 1)"_qs, u"4/0/0"_qs, {}},
            {ris, {u"по строкам"_qs, u"Right*2"_qs}, u"Вызов 1 из 7"_qs, u"Строка 4. Окружность: центр (100; 100), радиус 40"_qs, u"1/1/1"_qs, {}, 0, {140, 100}},
            {ris, {u"по строкам"_qs, u"Right*4"_qs, u"Shift+Right"_qs, u"Left"_qs}, u"Вызов 4 из 7"_qs, u"Строка 3. Возврат: ris(x = 120; y = 100; r = 10) закончен"_qs, u"4/3/2"_qs, {}},
            {ris, {u"по шагам"_qs, u"Right"_qs}, u"Вызов 2 из 7"_qs, u"Строка 4. Окружность: центр (140; 100), радиус 20"_qs, u"2/2/2"_qs, {}, 0, {160, 100}},
            {ris, {u"по строкам"_qs, u"Right*3"_qs, u"Left"_qs}, u"Вызов 1 из 7"_qs, u"Строка 4. Окружность: центр (100; 100), радиус 40"_qs, u"1/1/1"_qs, {}, 0, {60, 100}},
            {ris, {u"по строкам"_qs, u"Esc"_qs, u"tree:0.0.1"_qs}, u"Вызов 4 из 7"_qs, u"Строка 3. Возврат: ris(x = 120; y = 100; r = 10) закончен"_qs, u"4/3/2"_qs, {}},
            {drawsThenStops, {u"сразу"_qs, u"tree:0.0.0"_qs}, u"Вызов 3 из 3"_qs, u"Строка 4. Возврат: ris(r = 7,5) закончен"_qs, u"3/3/3"_qs, {}, 0, {107, 100}},
            {drawsThenStops, {u"по строкам"_qs, u"Esc"_qs, u"tree:0.0.0"_qs}, u"Вызов 3 из 3"_qs, u"Строка 4. Возврат: ris(r = 7,5) закончен"_qs, u"3/3/3"_qs, {}},
            {u"def ris(r):\n    if r < 10: return\n    ris(r - 10)\n\nris(15)\n"_qs, {u"по строкам"_qs, u"Right*3"_qs}, u"Вызов 2 из 2"_qs, u"Строка 2. Проверка r < 10: 5 < 10 — да"_qs, u"2/2/0"_qs, {}},
            {u"def ris(r):\n    if r > 10: ris(r - 10)\n\nris(15)\n"_qs, {u"по строкам"_qs, u"Right*2"_qs}, u"Вызов 2 из 2"_qs, u"Строка 2. Проверка r > 10: 5 > 10 — нет"_qs, u"2/2/0"_qs, {}},
            {lineOn, {u"по строкам"_qs, u"Right*3"_qs}, u"Вызов 1 из 1"_qs, u"Строка 4. Линия: от (90; 10) до (90; 100)"_qs, u"1/1/3"_qs, {}, 0, {90, 55}},
            {u"def g(x):\n    line_to(x, 100)\n\ng(90)\n"_qs, {u"по строкам"_qs, u"Right"_qs}, u"Вызов 1 из 1"_qs, u"Строка 2. Линия: от (0; 0) до (90; 100)"_qs, u"1/1/1"_qs, {}, 0, {45, 50}},
            {u"circle(100, 100, 50)\nline(0, 0, 200, 200)\n"_qs, {u"по шагам"_qs}, u"Все вызовы закончены: 0"_qs, {}, u"0/0/2"_qs, {}, 0, {150, 100}},
            {failing, {u"по строкам"_qs, u"Right*9"_qs}, u"Вызов 3 из 3"_qs, u"Строка 4. x = 1 / 0"_qs, u"3/3/3"_qs, u"Строка 4: деление на ноль"_qs, 4},
            {failing, {u"сразу"_qs, u"tree:0"_qs}, u"Вызов 1 из 3"_qs, u"Строка 2. Окружность: центр (100; 100), радиус 30"_qs, u"1/1/1"_qs, u"Строка 4"_qs, 4, {130, 100}},
            {failing, {u"по строкам"_qs, u"Esc"_qs, u"tree:0"_qs, u"Right"_qs}, u"Вызов 1 из 3"_qs, u"Строка 3. Проверка n < 20: 30 < 20 — нет"_qs, u"1/1/1"_qs, u"Строка 4"_qs, 4},
            {failing, {u"по шагам"_qs, u"Right"_qs, u"tree:0.0"_qs}, u"Вызов 2 из 3"_qs, u"Строка 2. Окружность: центр (100; 100), радиус 20"_qs, u"2/2/2"_qs, u"Строка 4"_qs, 4, {120, 100}},
            {loop, {u"по строкам"_qs, u"Right*4"_qs}, u"Вызов 1 из 3"_qs, u"Строка 3. Окружность: центр (100; 100), радиус 21"_qs, u"1/1/2"_qs, {}, 0, {121, 100}},
            {loop, {u"по строкам"_qs, u"Right*6"_qs}, u"Вызов 1 из 3"_qs, u"Строка 4. Проверка r > 10: 20 > 10 — да"_qs, u"1/1/2"_qs, {}},
            {u"circle(100, 100, 50)\nris(3)\n"_qs, {u"сразу"_qs}, {}, {}, u"0/0/1"_qs, u"Строка 2: имя «ris» не определено"_qs, 2},
            {u"def ris(r):\n    circle(100, 100, r)\n    ris(r + 1)\n\nris(1)\n"_qs, {u"сразу"_qs}, u"Все вызовы закончены: 10000"_qs, {}, u"10000/10000/10000"_qs, u"Строка 3: рекурсия не остановилась: 10 000 вложенных вызовов ris"_qs, 3},
            {assigns, {u"по строкам"_qs, u"Right"_qs}, u"Вызов 1 из 1"_qs, u"Строка 2. Проверка x > 50: 100 > 50 — да"_qs, u"1/1/0"_qs, {}},
            {assigns, {u"по строкам"_qs, u"Right*3"_qs}, u"Вызов 1 из 1"_qs, u"Строка 4. x2 = 142,42"_qs, u"1/1/0"_qs, {}},
            {u"scale(0, 0, 1.5, 1.5)\n"_qs, {u"сразу"_qs}, {}, {}, {}, u"Строка 1: scale(): углы должны быть целыми числами"_qs, 1},
            {u"print('раз', 2)\nprint(3 / 0)\n"_qs, {u"сразу"_qs}, {}, {}, {}, u"раз 2\nСтрока 2: деление на ноль"_qs, 2},
        };
        // clang-format on
        for (const Scenario &row : scenarios) {
            StillClock colours;
            figdraw::Form1 form(colours);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form)); // where a window manager puts it
            QTest::qWait(100);
            menuItem(&form, u"Показать вызовы"_qs)->trigger();
            menuItem(&form, u"Рисовать "_qs + row.steps.first())->trigger();
            auto *own = form.findChild<OwnProcedureWindow *>();
            own->editor->setPlainText(row.code);
            runOwn(form);
            QElapsedTimer since;
            auto *calls = form.findChild<CallsWindow *>();
            for (const QString &step : row.steps.sliced(1)) { // "Right*3": three times
                const int times = step.contains(u'*') ? step.section(u'*', 1).toInt() : 1;
                QModelIndex chosen;
                for (const QString &r :
                     step.startsWith(u"tree:"_qs) ? step.sliced(5).split(u'.') : QStringList())
                    chosen = calls->tree->model()->index(r.toInt(), 0, chosen);
                if (chosen.isValid()) {
                    calls->tree->setCurrentIndex(chosen);
                    QTest::qWait(20); // the choice is taken once the view is done with it
                    continue;
                }
                for (int n = 0; n < times; ++n)
                    QVERIFY(commonStep(step.section(u'*', 0, 0), &form, since,
                                       [] { return true; }));
            }
            const QString context = row.code.section(u'\n', 0, 0) + u" "_qs + row.steps.join(u' ');
            if (!row.heading.isEmpty())
                QCOMPARE(calls->heading->text(), row.heading);
            if (!row.explained.isEmpty()) {
                QCOMPARE(calls->procedure->explanation->text(), row.explained);
                QCOMPARE(calls->procedure->highlighted(),
                         QList<int>{row.explained.section(u'.', 0, 0).sliced(7).toInt()});
            }
            if (!row.counts.isEmpty())
                QVERIFY2(counts(form) == row.counts, qPrintable(context + u": "_qs + counts(form)));
            QVERIFY2(own->messages->toPlainText().startsWith(row.messages),
                     qPrintable(own->messages->toPlainText()));
            QCOMPARE(own->editor->textCursor().blockNumber() + 1, row.marked ? row.marked : 1);
            const QRect canvas = form.Picture1->contentsRect();
            const QImage shown = onScreen(form.Picture1, canvas),
                         picture = form.Picture1->picture();
            const QPoint orange = row.orange * canvas.width() / 200;
            QVERIFY2(row.orange.isNull() ? shown == picture
                                         : shown.pixel(orange) != picture.pixel(orange),
                     qPrintable(context + u": the step's mark"_qs));
            QImage blank(picture.size(), picture.format());
            blank.fill(Qt::white);
            QVERIFY2(row.counts.isEmpty() || (picture != blank) == !row.counts.endsWith(u"/0"_qs),
                     qPrintable(context + u": the shapes drawn"_qs));
        }
    }

    // The own figure's animation, a step of which changes no pixel, read back: the canvas
    // before it, every step, and last the whole figure.
    void ownAnimation()
    {
        StillClock colours;
        figdraw::Form1 form(colours);
        form.findChild<OwnProcedureWindow *>()->editor->setPlainText(
                u"def ris(n):\n    circle(100, 100, 50)\n    if n > 0:\n        ris(n - 1)\n\nris(1)\n"_qs);
        runOwn(form);
        const QTemporaryDir folder;
        dialogs->nextAnswer(folder.filePath(u"анимация.gif"_qs));
        form.findChild<PictureFile *>()->progressAfter = 60'000;
        menuItem(&form, u"Сохранить анимацию…"_qs)->trigger();
        QImageReader gif(folder.filePath(u"анимация.gif"_qs));
        QList<QImage> frames;
        for (QImage frame; gif.read(&frame);)
            frames << frame.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(frames.size(), 4);
        QCOMPARE(frames[2], frames[1]);
        QCOMPARE(frames.last(), form.Picture1->picture());
    }

    // The tree: each top-level call a root, values returned, calls that made none marked;
    // Ctrl+click on a shape goes to the call that drew it.
    void ownCallsTree()
    {
        StillClock colours;
        figdraw::Form1 form(colours);
        form.show();
        menuItem(&form, u"Показать вызовы"_qs)->trigger();
        form.findChild<OwnProcedureWindow *>()->editor->setPlainText(
                u"def fact(n):\n    if n == 0:\n        return 1\n    circle(100, 100, 10 * n)\n"
                "    return n * fact(n - 1)\n\nfact(2)\nfact(1)\n"_qs);
        runOwn(form);
        const QAbstractItemModel *tree = form.findChild<CallsWindow *>()->tree->model();
        const QModelIndex first = tree->index(0, 0), second = tree->index(1, 0);
        QCOMPARE(tree->rowCount({}), 2);
        QCOMPARE(first.data().toString(), u"fact(n = 2) → 2"_qs);
        QCOMPARE(second.data().toString(), u"fact(n = 1) → 1"_qs);
        QCOMPARE(tree->index(0, 0, tree->index(0, 0, first)).data().toString(),
                 u"fact(n = 0) → 1 — остановка"_qs);
        const QRect canvas = form.Picture1->contentsRect();
        const QPoint onLarger
                = canvas.center() + QPoint(canvas.width() / 10, 0); // radius 20 of 200
        QTest::mouseClick(form.Picture1, Qt::LeftButton, Qt::ControlModifier, onLarger);
        QTRY_COMPARE(form.findChild<CallsWindow *>()->heading->text(), u"Вызов 1 из 5"_qs);
        QVERIFY2(onScreen(form.Picture1, canvas) != form.Picture1->picture(), "its shape marked");
    }

    // Beside the program's window, it never covers the canvas. In the lesson view it stands on
    // the view's right part, beside the canvas; leaving the view puts it beside the program's
    // window again.
    void lessonView()
    {
        StillClock colours;
        figdraw::Form1 form(colours);
        for (QScreen *screen : QGuiApplication::screens()) // on a laptop's
            if (screen->name() == u"laptop"_qs)
                form.move(screen->geometry().topLeft());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form)); // where a window manager puts it
        QTest::qWait(100);
        auto *own = form.findChild<OwnProcedureWindow *>();
        own->showAction()->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(own));
        QVERIFY(!own->frameGeometry().intersects(
                QRect(form.Picture1->mapToGlobal(QPoint()), form.Picture1->size())));
        menuItem(&form, u"Урок на весь экран"_qs)->trigger();
        const QRect screen = form.window()->geometry();
        const QRect canvas(form.Picture1->mapToGlobal(QPoint()), form.Picture1->size());
        const auto placed = [own] { return QRect(own->mapToGlobal(QPoint()), own->size()); };
        QVERIFY(own->isVisible() && screen.contains(placed()));
        QVERIFY2(placed().left() > canvas.right(), "over the canvas");
        const int besideOwn = form.width();
        own->close(); // the program's window takes the width; opened again, it gives it back
        QTRY_VERIFY(form.width() > besideOwn);
        own->showAction()->trigger();
        QTRY_VERIFY(placed().left()
                    > form.Picture1->mapToGlobal(QPoint(form.Picture1->width(), 0)).x());
        menuItem(&form, u"Урок на весь экран"_qs)->trigger();
        QTRY_VERIFY(!own->frameGeometry().intersects(form.frameGeometry()));
    }

private:
    static QString counts(const figdraw::Form1 &form)
    {
        return form.Label2->text().remove(QRegularExpression(u"[^0-9\n]"_qs)).replace(u'\n', u'/');
    }
    static void runOwn(QWidget &window)
    {
        window.findChild<OwnProcedureWindow *>()->runAction()->trigger();
    }

    std::optional<DialogDriver> dialogs;
};

QTEST_MAIN(TestOwnProcedure)
#include "tst_ownprocedure.moc"
