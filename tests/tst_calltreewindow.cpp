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
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeView>

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
    // Every call open and saved: the fill inside each box, clear of its text.
    picture->openAll();
    const QTemporaryDir folder;
    QCOMPARE(picture->saveTo(folder.filePath(u"дерево.png"_qs)), QString());
    const QImage saved(folder.filePath(u"дерево.png"_qs));
    QCOMPARE(saved.size(), picture->drawing().size(picture->drawn()).toSize());
    const auto fill = [&](qint32 call) {
        const QRectF box = picture->drawing().box(picture->drawn(), picture->drawn().nodeOf(call));
        return saved.pixel(QPoint(int(box.left()) + 6, int(box.bottom()) - 5));
    };
    const QPalette palette = QApplication::palette();
    QCOMPARE(fill(5), palette.color(QPalette::Highlight).rgb());
    QCOMPARE(fill(1), palette.color(QPalette::Highlight).lighter(170).rgb());
    QCOMPARE(fill(3), palette.color(QPalette::Button).rgb()); // returned, having made no call
    QCOMPARE(fill(2), palette.color(QPalette::Base).rgb());   // returned
    QCOMPARE(picture->drawing().description(0, {5, 5, {}, false}),
             u"Вызов 1: Ris1(x = 100; y = 100; r = 30)\nвсего 6 вызовов"_qs);

    clickNode(picture, 1); // back to the second call, in the list too
    QTRY_COMPARE(calls->heading->text(), u"Вызов 2 из 15"_qs);
    QCOMPARE(listCall(calls), 1);
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
    QTest::mouseClick(form.Picture1, Qt::LeftButton, Qt::ControlModifier, {242, 233});
    QTRY_COMPARE(calls->heading->text(), u"Вызов 2 из 15"_qs);
    QVERIFY(picture->viewport()->rect().contains(picture->nodeRect(picture->drawn().nodeOf(1))));
    QVERIFY(!picture->saveTo(folder.filePath(u"нет/дерево.png"_qs)).isEmpty());
}

// countdown's calls window has the tree too: the verse of four counts, drawn, whole.
void TestCallTreeWindow::verse()
{
    countdown::Form1 form;
    form.show();
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
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto *calls = form.findChild<CallsWindow *>();
    auto *own = form.findChild<OwnProcedureWindow *>();
    menuItem(&form, u"Показать вызовы"_qs)->trigger();
    calls->drawnTreeAction()->trigger();
    const std::pair<QString, QString> runs[]{{plain, u"21891/21\u00a0870"_qs}, {kept, u"39/18"_qs}};
    for (const auto &[code, counts] : runs) {
        own->editor->setPlainText(code);
        own->runAction()->trigger();
        QTRY_VERIFY(calls->heading->text().startsWith(u"Все вызовы закончены"_qs));
        const QString shown = calls->heading->text().section(u' ', 3) + u'/'
                + calls->repeats->text().section(u' ', 2);
        QCOMPARE(shown, counts);
        QCOMPARE(calls->picture->drawing().description(0, {0, -1, {}, true}).section(u'\n', 0, 0),
                 u"Вызов 1: fib(n = 20) → 6765"_qs);
    }
}

QTEST_MAIN(TestCallTreeWindow)
#include "tst_calltreewindow.moc"
