// The drawn tree of calls as a user meets it in both programs: the toggle, the moment it
// shows as the steps go, going to a call from a node or a shape, folding, and saving.
#include "callswindow.h"
#include "calltreepicture.h"
#include "captionbutton.h"
#include "codeeditor.h"
#include "figurewindow.h"
#include "ownwindow.h"
#include "picturebox.h"
#include "randomcolours.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTreeView>
#include <QWheelEvent>

using figdraw::Form1;

namespace {

// The call the list shows current, -1 for none.
qint32 listCall(const CallsWindow *calls)
{
    const QModelIndex index = calls->tree->currentIndex();
    return index.isValid() ? qint32(index.internalId()) : -1;
}

// Clicks the node of a call, opening the path to it first.
void clickNode(CallTreePicture *picture, qint32 call, Qt::KeyboardModifiers keys = {})
{
    const qint32 node = picture->drawn().nodeOf(call);
    QVERIFY2(node > 0, "the call is shown");
    QTest::mouseClick(picture->viewport(), Qt::LeftButton, keys, picture->nodeRect(node).center());
}

} // namespace

class TestCallTreeWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("RECURSION_RUNNER", RUNNER_PATH); }
    void figure();
    void verse();
    void repeatsOfOwnCode();
};

// The chain R = 30 (15 calls) step by step with the drawn face: the calls made so far, the
// current one lit as the list's row and its callers apart from the calls returned; a
// node's click and a shape's Ctrl+click go to their calls; a folded call opens a level; the
// tree saved as shown.
void TestCallTreeWindow::figure()
{
    RandomColours colours;
    Form1 form(colours);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    DialogDriver dialogs;
    auto *calls = form.findChild<CallsWindow *>();
    menuItem(&form, u"Показать вызовы"_qs)->trigger();
    QAction *drawn = menuItem(&form, u"Дерево рисунком"_qs);
    QVERIFY(!drawn->isChecked()); // the list, by default
    drawn->trigger();
    CallTreePicture *picture = calls->picture;
    menuItem(&form, u"Рисовать по шагам"_qs)->trigger();
    dialogs.nextAnswer(u"30"_qs);
    form.Command1->click();
    for (int step = 0; step < 3; ++step)
        QTest::keyClick(form.Command4, Qt::Key_Right);
    QCOMPARE(calls->heading->text(), u"Вызов 6 из 15"_qs);
    QVERIFY(picture->isVisible() && !calls->tree->isVisible());
    QCOMPARE(picture->drawn().call.back(), 5); // the calls not made yet are not drawn
    QCOMPARE(listCall(calls), 5);
    QVERIFY(picture->viewport()->rect().contains(picture->nodeRect(picture->drawn().nodeOf(5))));
    // Every call open and saved: the fill inside each box, clear of its text, and the outline
    // at its top, how many rows thick at its middle and whether broken.
    picture->openAll();
    const QTemporaryDir folder;
    const QString png = folder.filePath(u"дерево.png"_qs);
    QCOMPARE(picture->saveTo(png), QString());
    QImage saved(png);
    QCOMPARE(saved.size(), picture->drawing().size(picture->drawn()).toSize());
    const auto boxOf = [&](qint32 call) {
        return picture->drawing().box(picture->drawn(), picture->drawn().nodeOf(call));
    };
    const auto fill = [&](const QImage &image, qint32 call) { // 0 where not of one colour
        const QRectF box = boxOf(call);
        const int y = int(box.bottom()) - 5;
        const QRgb colour = image.pixel(int(box.left()) + 6, y);
        for (int x = int(box.left()) + 6; x < int(box.right()) - 6; ++x)
            if (image.pixel(x, y) != colour)
                return QRgb(0);
        return colour;
    };
    const QPalette palette = QApplication::palette();
    const auto outline = [&](qint32 call) {
        const QRectF box = boxOf(call);
        const int top = int(box.top());
        const QRgb ink = palette.color(QPalette::Text).rgb();
        int thick = 0, breaks = 0;
        for (int y = top - 1; y <= top + 1; ++y)
            thick += saved.pixel(int(box.center().x()), y) == ink;
        for (int x = int(box.left()) + 4; x < int(box.right()) - 4; ++x)
            breaks += saved.pixel(x, top) != ink;
        return std::pair{thick, breaks > 0};
    };
    QCOMPARE(fill(saved, 5), palette.color(QPalette::Highlight).rgb());
    QCOMPARE(fill(saved, 1), palette.color(QPalette::Highlight).lighter(170).rgb());
    QCOMPARE(fill(saved, 3), palette.color(QPalette::Button).rgb()); // returned, made no call
    QCOMPARE(fill(saved, 2), palette.color(QPalette::Base).rgb());   // returned
    QVERIFY(outline(5).first >= 2 && !outline(5).second);            // current: thick, whole
    QVERIFY(outline(1).second);                                      // waiting: dashed
    QVERIFY(outline(2).first <= 1);                                  // returned: thin
    // Painted with the view's edge through a box, the box is whole.
    saved.fill(Qt::white);
    QPainter onto(&saved);
    picture->drawing().paint(onto, picture->drawn(), {5, 5, {}, false},
                             QRectF(0, 0, boxOf(5).center().x(), saved.height()), 1);
    onto.end();
    QCOMPARE(fill(saved, 5), palette.color(QPalette::Highlight).rgb());
    QCOMPARE(picture->drawing().description(0, {5, 5, {}, false}),
             u"Вызов 1: Ris1(x = 100; y = 100; r = 30)\nвсего 6 вызовов"_qs);

    clickNode(picture, 1); // back to the second call, in the list too
    QTRY_COMPARE(calls->heading->text(), u"Вызов 2 из 15"_qs);
    QCOMPARE(listCall(calls), 1);
    QCOMPARE(picture->saveTo(png), QString()); // the chosen call lit
    QCOMPARE(fill(QImage(png), 1), palette.color(QPalette::Highlight).rgb());
    QTest::keyClick(form.Command4, Qt::Key_Escape); // the figure whole
    QTRY_COMPARE(calls->heading->text(), u"Все вызовы закончены: 15"_qs);
    QVERIFY(picture->drawing().description(0, {14, -1, {}, true}).endsWith(u"всего 15 вызовов"_qs));
    picture->folds().fold(0);
    picture->refold();
    QCOMPARE(picture->drawn().size(), 2);
    clickNode(picture, 0); // opens a level: its two calls, folded
    QCOMPARE(picture->drawn().call, (std::vector<qint32>{-1, 0, 1, 8}));
    QCOMPARE(picture->drawn().folded, (std::vector<bool>{false, false, true, true}));

    QCOMPARE(picture->saveTo(folder.filePath(u"дерево.svg"_qs)), QString());
    QFile svg(folder.filePath(u"дерево.svg"_qs));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    QVERIFY(text.contains("100; 100; 30") && text.contains("+ 6 вызовов"));
    // Down to the first call made, right to its neighbour, '*' opens all below it alone.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Asterisk})
        QTest::keyClick(picture, key);
    QVERIFY(picture->drawn().nodeOf(14) > 0 && picture->drawn().folded[2]);
    QTest::mouseClick(form.Picture1, Qt::LeftButton, Qt::ControlModifier, {242, 233});
    QTRY_COMPARE(calls->heading->text(), u"Вызов 2 из 15"_qs);
    QVERIFY(picture->viewport()->rect().contains(picture->nodeRect(picture->drawn().nodeOf(1))));
    // Zoomed in, its node seen at the part's top: Ctrl+click on its shape again centres it.
    picture->setZoom(1.5);
    QScrollBar *down = picture->verticalScrollBar();
    down->setValue(down->value() + picture->nodeRect(picture->drawn().nodeOf(1)).top() - 2);
    QVERIFY(picture->viewport()->rect().contains(picture->nodeRect(picture->drawn().nodeOf(1))));
    QTest::mouseClick(form.Picture1, Qt::LeftButton, Qt::ControlModifier, {242, 233});
    QVERIFY(std::abs(picture->nodeRect(picture->drawn().nodeOf(1)).center().y()
                     - picture->viewport()->rect().center().y())
            <= 2);
    QVERIFY(!picture->saveTo(folder.filePath(u"нет/дерево.png"_qs)).isEmpty());
    calls->showLine(1, 1, 5); // back at a line of the second call: its node lit, and read out
    QVERIFY(picture->accessibleDescription().startsWith(u"Вызов 2:"_qs));
}

// countdown's calls window has the tree too: the verse of four counts, drawn, whole.
void TestCallTreeWindow::verse()
{
    countdown::Form1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto *calls = form.findChild<CallsWindow *>();
    menuItem(&form, u"Показать вызовы"_qs)->trigger();
    DialogDriver dialogs;
    dialogs.nextAnswer(u"4"_qs);
    form.Command2->click();
    QTRY_VERIFY(calls->heading->text().startsWith(u"Все вызовы закончены"_qs));
    QVERIFY(calls->tree->isVisible());
    menuItem(&form, u"Дерево рисунком"_qs)->trigger();
    QVERIFY(calls->picture->isVisible());
    // The first call counts them all, as the heading does.
    const qint32 made = calls->heading->text().section(u' ', -1).toInt();
    QVERIFY(made > 4);
    QVERIFY(calls->picture->drawing()
                    .description(0, {made - 1, -1, {}, true})
                    .endsWith(u"всего "_qs + callsCount(made)));
    calls->picture->openAll(); // a chain
    QCOMPARE(calls->picture->drawn().levels, made);
    QCOMPARE(calls->picture->drawn().size(), made + 1);
    // The part's keys and Ctrl+wheel zoom it, the point under the pointer kept; Ctrl+0 fits,
    // the narrow chain in the middle.
    CallTreePicture *picture = calls->picture;
    picture->setFocus();
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_0}) { // the part's, not the scale's
        QKeyEvent claim(QEvent::ShortcutOverride, key, Qt::ControlModifier);
        claim.ignore();
        QApplication::sendEvent(picture, &claim);
        QVERIFY(claim.isAccepted());
    }
    const double zoom = picture->zoom();
    QTest::keyClick(picture, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(picture->zoom(), zoom * 1.25);
    const QPoint at = picture->nodeRect(1).center();
    QWheelEvent wheel(at, picture->viewport()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picture->viewport(), &wheel);
    QCOMPARE(picture->zoom(), zoom * 1.25 * 1.25);
    QVERIFY(picture->nodeRect(1).contains(at));
    QTest::keyClick(picture, Qt::Key_0, Qt::ControlModifier);
    const QSizeF fitted = picture->drawing().size(picture->drawn()) * picture->zoom();
    QVERIFY(fitted.width() <= picture->viewport()->width()
            && fitted.height() <= picture->viewport()->height());
    QVERIFY(qAbs(picture->nodeRect(1).center().x() - picture->viewport()->width() / 2) <= 1);
    // A call out of sight is brought into view.
    picture->setZoom(1);
    QScrollBar *bar = picture->verticalScrollBar();
    bar->setValue(bar->maximum());
    QVERIFY(bar->value() > 0);
    picture->showMoment(made - 1, 1, false);
    QVERIFY(picture->viewport()->rect().contains(picture->nodeRect(2)));
    // A fold holds while the faces change; a click at the fitted zoom finds its node.
    picture->folds().fold(0);
    picture->refold();
    for (int twice = 0; twice < 2; ++twice)
        menuItem(&form, u"Дерево рисунком"_qs)->trigger();
    QCOMPARE(picture->drawn().size(), 2);
    picture->openAll();
    picture->fit();
    clickNode(picture, made - 1);
    QTRY_COMPARE(calls->heading->text(), u"Вызов %1 из %1"_qs.arg(made));
}

// fib(20) in the class's own code repeats all but 21 of its calls; kept in a dictionary, it
// makes 39 calls, of which 18 find their value kept.
void TestCallTreeWindow::repeatsOfOwnCode()
{
    const QString plain = u"def fib(n):\n    if n < 2:\n        return n\n"
                          "    return fib(n - 1) + fib(n - 2)\n\nprint(fib(20))\n"_qs;
    const QString kept = u"kept = {}\n\ndef fib(n):\n    if n < 2:\n        return n\n"
                         "    if n not in kept:\n        kept[n] = fib(n - 1) + fib(n - 2)\n"
                         "    return kept[n]\n\nprint(fib(20))\n"_qs;
    countdown::Form1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto *calls = form.findChild<CallsWindow *>();
    auto *own = form.findChild<OwnProcedureWindow *>();
    menuItem(&form, u"Показать вызовы"_qs)->trigger();
    calls->drawnTreeAction()->trigger();
    // Two functions called with equal arguments are not the same call.
    const QString two = u"def f(n):\n    return n\n\ndef g(n):\n    return f(n)\n\n"
                        "print(g(1) + g(1))\n"_qs;
    const QString runs[][3]{{kept, u"39/18"_qs, u"fib(n = 20) → 6765"_qs},
                            {two, u"4/2"_qs, u"g(n = 1) → 1"_qs},
                            {plain, u"21891/21\u00a0870"_qs, u"fib(n = 20) → 6765"_qs}};
    CallTreePicture *picture = calls->picture;
    const QTemporaryDir folder;
    const QString svg = folder.filePath(u"дерево.svg"_qs);
    const auto saved = [&] {
        QFile file(svg);
        return picture->saveTo(svg).isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                                : QByteArray();
    };
    for (const auto &[code, counts, first] : runs) {
        own->editor->setPlainText(code);
        own->runAction()->trigger();
        QTRY_VERIFY(calls->heading->text().startsWith(u"Все вызовы закончены"_qs));
        const QString shown = calls->heading->text().section(u' ', 3) + u'/'
                + calls->repeats->text().section(u' ', 2);
        QCOMPARE(shown, counts);
        QCOMPARE(picture->drawing().description(0, {0, -1, {}, true}).section(u'\n', 0, 0),
                 u"Вызов 1: "_qs + first);
        // At the second call no call has returned nor repeated yet.
        picture->showMoment(1, 1, false);
        QVERIFY(calls->repeats->text().isEmpty());
        QVERIFY(!picture->drawing().description(0, {1, 1, {0}, false}).contains(u'→'));
        QVERIFY(!saved().isEmpty() && !saved().contains("→"));
    }
    // fib(20) finished: the root's count under it, a repeat's tooltip naming the first.
    picture->showMoment(21890, -1, true);
    for (QAction *action : picture->menu()->actions())
        if (action->text().startsWith(u"Числа вызовов"_qs))
            action->trigger();
    QVERIFY(saved().contains(QLocale(QLocale::Russian).toString(21891).toUtf8()));
    QVERIFY(picture->drawing().description(21, {21890, -1, {}, true}).endsWith(u"вызов 20"_qs));
}

QTEST_MAIN(TestCallTreeWindow)
#include "tst_calltreewindow.moc"
