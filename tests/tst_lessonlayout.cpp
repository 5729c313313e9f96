#include "lessonlayout.h"

#include <QTest>

namespace {

// The least sizes of the calls window's parts and of "Своя процедура" as the programs measure
// them at 100 % in the tests' fonts; they grow with the text.
QSize callsAt(int percent, QBoxLayout::Direction direction, bool tree)
{
    // Their margins and captions grow less than the text.
    const QSize fixed(40, 180);
    const QSize least = direction == QBoxLayout::TopToBottom ? QSize(687, tree ? 680 : 550)
                                                             : QSize(795, tree ? 420 : 380);
    return fixed + (least - fixed) * percent / 100;
}

QSize ownAt(int percent)
{
    return QSize(320, 296) * percent / 100;
}

// figdraw's parts (a title, a square canvas, eight buttons and the counts) or countdown's.
LessonMeasures program(bool figdraw, QSize screen, bool calls, bool own)
{
    LessonMeasures measures;
    measures.screen = screen;
    measures.square = figdraw;
    measures.titleHeight = figdraw ? 33 : 0;
    measures.cell = figdraw ? QSize(129, 41) : QSize(90, 33);
    measures.controls = figdraw ? 8 : 5;
    measures.notesHeight = figdraw ? 97 : 0;
    if (calls)
        measures.callsLeast = [figdraw](int percent, QBoxLayout::Direction direction) {
            return callsAt(percent, direction, figdraw);
        };
    if (own)
        measures.ownLeast = ownAt;
    return measures;
}

// Every part on the screen, none over another, each part on the right at its least size
// at least.
bool laidOutWhole(const LessonMeasures &measures, const LessonLayout &layout)
{
    QList<QRect> parts{layout.picture, layout.title, layout.notes, layout.calls, layout.own};
    parts += layout.controls;
    parts.removeAll(QRect());
    const QRect screen(QPoint(), measures.screen);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!screen.contains(parts[i]))
            return false;
        for (qsizetype j = i + 1; j < parts.size(); ++j)
            if (parts[i].intersects(parts[j]))
                return false;
    }
    for (const QRect &right : {layout.calls, layout.own})
        if (!right.isNull() && layout.window.intersects(right))
            return false;
    const bool callsWhole = !measures.callsLeast
            || (layout.calls.width()
                        >= measures.callsLeast(layout.percent, layout.direction).width()
                && layout.calls.height()
                        >= measures.callsLeast(layout.percent, layout.direction).height());
    const bool ownWhole = !measures.ownLeast
            || (layout.own.width() >= ownAt(layout.percent).width()
                && layout.own.height() >= ownAt(layout.percent).height());
    return callsWhole && ownWhole;
}

} // namespace

class TestLessonLayout : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        // The program, the screen, what is open on the right; the least picture side the
        // largest text leaves, and whether the calls window's parts stand side by side.
        QTest::addColumn<bool>("figdraw");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("calls");
        QTest::addColumn<bool>("own");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("sideBySide");
        const QSize xga(1024, 768), laptop(1366, 768), fullhd(1920, 1080);
        // clang-format off
        QTest::newRow("figdraw, 1920, calls") << true << fullhd << true << false << 702 << false;
        QTest::newRow("figdraw, 1366, calls") << true << laptop << true << false << 499 << false;
        QTest::newRow("figdraw, 1024, calls") << true << xga << true << false << 393 << false;
        QTest::newRow("figdraw, 1024, both") << true << xga << true << true << 300 << true;
        QTest::newRow("figdraw, 1366, both") << true << laptop << true << true << 393 << true;
        QTest::newRow("figdraw, 1920, both") << true << fullhd << true << true << 702 << true;
        QTest::newRow("figdraw, 1024, own") << true << xga << false << true << 393 << false;
        QTest::newRow("countdown, 1920, calls") << false << fullhd << true << false << 702 << false;
        QTest::newRow("countdown, 1024, both") << false << xga << true << true << 393 << false;
        QTest::newRow("countdown, 1366, own") << false << laptop << false << true << 499 << false;
        QTest::newRow("figdraw, 1024, alone") << true << xga << false << false << 499 << false;
        // clang-format on
    }
    // The largest text leaves every part whole, none over another, the picture large; no
    // larger text would; every step of the scale keys from there keeps the parts whole.
    void layout()
    {
        QFETCH(bool, figdraw);
        QFETCH(QSize, screen);
        QFETCH(bool, calls);
        QFETCH(bool, own);
        QFETCH(int, side);
        QFETCH(bool, sideBySide);
        const LessonMeasures measures = program(figdraw, screen, calls, own);
        const LessonLayout chosen = largestLessonText(measures);
        QVERIFY(laidOutWhole(measures, chosen));
        QVERIFY2(chosen.pictureSide() >= side,
                 qPrintable(QString::number(chosen.pictureSide()) + " "
                            + QString::number(chosen.percent)));
        QCOMPARE(chosen.direction == QBoxLayout::LeftToRight, sideBySide);
        QCOMPARE(chosen.window.height(), screen.height());
        if (!calls && !own)
            QCOMPARE(chosen.window.width(), screen.width());
        LessonLayout step = chosen;
        for (int down = 0; down < 10; ++down) { // Ctrl+- to the smallest text
            const LessonLayout next = stepLessonText(measures, step.percent, -1);
            QVERIFY(laidOutWhole(measures, next) && next.percent <= step.percent);
            step = next;
        }
        for (int up = 0; up < 10; ++up) { // Ctrl++ as far as the picture stays large
            const LessonLayout next = stepLessonText(measures, step.percent, 1);
            QVERIFY(laidOutWhole(measures, next));
            QVERIFY(next.percent == step.percent || next.pictureSide() >= 393);
            step = next;
        }
    }
};

QTEST_MAIN(TestLessonLayout)
#include "tst_lessonlayout.moc"
