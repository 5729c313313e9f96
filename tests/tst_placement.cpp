#include "callswindow.h"
#include "codeeditor.h"
#include "figurewindow.h"
#include "lessonview.h"
#include "ownwindow.h"
#include "procedurepart.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The triangle's colours do not matter here.
class AnyColours : public RandomColours
{ };

// The screen of this size: one of the offscreen platform's, or the real X server's own.
QScreen *screenOfSize(QSize size)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->geometry().size() == size)
            return screen;
    return nullptr;
}

// Where a window of the program stands against its main window's frame: "right", "left",
// "below", "view" (on the lesson view's surface), or "" (closed).
QString sideOf(const QWidget *part, QRect main)
{
    if (!part->isVisible())
        return {};
    if (!part->isWindow())
        return u"view"_qs;
    const QRect frame = part->frameGeometry();
    if (frame.left() > main.right())
        return u"right"_qs;
    if (frame.right() < main.left())
        return u"left"_qs;
    return frame.top() > main.bottom() ? u"below"_qs : u"over"_qs;
}

QRect onSurface(const QWidget *part)
{
    return {part->mapTo(part->window(), QPoint()), part->size()};
}

// clang-format off
// The program, the screen, where its window stands ("left", "centre", "right" of the screen,
// "top" centred at the top, "past centre" a little right of it),
// how often "Крупнее" is pressed first, what the user opens ("calls", "own") and then does:
// "figure" drawn or verse written, "view" entered, "F11" there and back, "destroy" the program while in the view, "Ctrl++" in the view.
// Then where the calls window and "Своя процедура" stand (see sideOf), and whether the
// program's window moved to make room.
struct Row { QString program; QSize screen; QString at; int larger; QStringList steps; QString calls; QString own; bool moved = false; };
// clang-format on

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void placement_data()
    {
        QTest::addColumn<Row>("row");
        const QSize xga(1024, 768), laptop(1366, 768), fullhd(1920, 1080);
        const QString fig = u"figdraw"_qs, verse = u"countdown"_qs;
        const QStringList calls{u"calls"_qs}, own{u"own"_qs}, both{u"calls"_qs, u"own"_qs},
                drawn{u"figure"_qs, u"calls"_qs};
        const QString right = u"right"_qs, left = u"left"_qs, view = u"view"_qs;
        // clang-format off
        QTest::newRow("1920, left edge") << Row{fig, fullhd, u"left"_qs, 0, drawn + QStringList{u"F11"_qs}, right, {}};
        QTest::newRow("1920, centred") << Row{fig, fullhd, u"centre"_qs, 0, calls, right, {}};
        QTest::newRow("1920, right edge") << Row{fig, fullhd, u"right"_qs, 0, drawn + QStringList{u"F11"_qs}, left, {}};
        QTest::newRow("1920, both beside") << Row{fig, fullhd, u"left"_qs, 0, both + QStringList{u"F11"_qs}, right, right};
        QTest::newRow("1920, own first") << Row{fig, fullhd, u"right"_qs, 0, {u"own"_qs, u"calls"_qs, u"F11"_qs}, left, left};
        QTest::newRow("1920, more room left") << Row{fig, fullhd, u"past centre"_qs, 0, own, {}, left};
        QTest::newRow("1366, centred: moved") << Row{fig, laptop, u"centre"_qs, 0, drawn + QStringList{u"F11"_qs}, right, {}, true};
        QTest::newRow("1366, 125 %") << Row{fig, laptop, u"left"_qs, 1, drawn, right, {}};
        QTest::newRow("1366, larger with calls") << Row{fig, laptop, u"left"_qs, 0, drawn + QStringList{u"Ctrl++"_qs, u"Ctrl++"_qs}, right, {}};
        QTest::newRow("1024, the view") << Row{fig, xga, u"centre"_qs, 0, drawn + QStringList{u"Ctrl++"_qs, u"Ctrl++"_qs}, view, {}};
        QTest::newRow("1024, own beside") << Row{fig, xga, u"left"_qs, 0, own + QStringList{u"F11"_qs}, {}, right};
        QTest::newRow("1024, own in the view") << Row{fig, xga, u"right"_qs, 0, {u"own"_qs, u"figure"_qs, u"calls"_qs, u"Ctrl+-"_qs}, view, view};
        QTest::newRow("1024, destroyed in the view") << Row{fig, xga, u"left"_qs, 0, drawn + QStringList{u"destroy"_qs}, view, {}};
        QTest::newRow("countdown, 1024, own") << Row{verse, xga, u"left"_qs, 0, own + QStringList{u"F11"_qs}, {}, right};
        QTest::newRow("countdown, 1920, 200 %") << Row{verse, fullhd, u"left"_qs, 4, drawn + QStringList{u"F11"_qs}, right, {}};
        QTest::newRow("countdown, 1366, top: below") << Row{verse, laptop, u"top"_qs, 0, drawn + QStringList{u"F11"_qs}, u"below"_qs, {}};
        QTest::newRow("countdown, 1024, larger: the view") << Row{verse, xga, u"left"_qs, 2, drawn + QStringList{u"Ctrl++"_qs}, view, {}};
        QTest::newRow("countdown, 1366, view") << Row{verse, laptop, u"left"_qs, 0, {u"own"_qs, u"figure"_qs, u"view"_qs, u"calls"_qs, u"Ctrl++"_qs}, view, view};
        QTest::newRow("countdown, 1920, view") << Row{verse, fullhd, u"centre"_qs, 0, {u"figure"_qs, u"view"_qs, u"calls"_qs}, view, {}};
        // clang-format on
    }
    // The calls window and "Своя процедура" wholly on the screen, never over the program's
    // window nor each other, else on the lesson view's surface with nothing over anything;
    // F11 and back leaves every window where it was.
    void placement()
    {
        QFETCH(Row, row);
        const QSize fullhd(1920, 1080);
        QScreen *screen = screenOfSize(row.screen);
        if (!screen)
            QSKIP("no screen of this size");
        AnyColours colours;
        const bool figdraw = row.program == u"figdraw";
        QPointer<QWidget> window(figdraw ? static_cast<QWidget *>(new figdraw::Form1(colours))
                                         : new countdown::Form1);
        std::unique_ptr<QWidget> owner(window.data());
        const QRect area = screen->availableGeometry();
        window->move(area.topLeft());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (int step = 0; step < row.larger; ++step)
            menuItem(window, u"Крупнее"_qs)->trigger();
        const QSize frame = window->frameGeometry().size();
        const QPoint at = row.at == u"left" ? area.topLeft()
                : row.at == u"top"   ? QPoint(area.center().x() - frame.width() / 2, area.top())
                : row.at == u"right" ? QPoint(area.right() + 1 - frame.width(), area.top())
                : row.at == u"past centre" // more room on the left
                ? area.center() - QRect(QPoint(), frame).center() + QPoint(60, 0)
                : area.center() - QRect(QPoint(), frame).center();
        window->move(at);
        QTRY_COMPARE(window->frameGeometry().topLeft(), at);
        auto *calls = window->findChild<CallsWindow *>();
        auto *own = window->findChild<OwnProcedureWindow *>();
        QAction *view = window->findChild<LessonView *>()->action();
        DialogDriver dialogs;
        for (const QString &step : row.steps) {
            if (step == u"figure") { // a snowflake, or the verse for 3
                dialogs.nextAnswer(figdraw ? u"60"_qs : u"3"_qs);
                window->findChildren<QPushButton *>()[1]->click(); // "Снежинка", "Пуск"
            } else if (step == u"calls") {
                menuItem(window, u"Показать вызовы"_qs)->trigger();
            } else if (step == u"own") {
                own->showAction()->trigger();
            } else if (step == u"destroy") { // the program's window goes with the view open
                QPointer<QWidget> surface = window->window(), callsLeft = calls;
                owner.reset();
                QTRY_VERIFY(!surface && !callsLeft);
                return;
            } else if (step == u"view") {
                view->trigger();
            } else if (step == u"F11") {
                QTest::qWait(100);
                const QList<QWidget *> windows{window, calls, own};
                QList<QRect> before;
                for (QWidget *part : windows)
                    before << (part->isVisible() ? part->frameGeometry() : QRect());
                view->trigger();
                QVERIFY(QTest::qWaitForWindowExposed(window->window()));
                view->trigger();
                for (int i = 0; i < windows.size(); ++i)
                    QTRY_COMPARE(windows[i]->isVisible() ? windows[i]->frameGeometry() : QRect(),
                                 before[i]);
            } else { // the scale's items, as their keys Ctrl++ and Ctrl+- choose them
                menuItem(window, step == u"Ctrl++" ? u"Крупнее"_qs : u"Мельче"_qs)->trigger();
            }
            QApplication::processEvents();
        }
        if (calls->isVisible() || own->isVisible())
            QVERIFY(QTest::qWaitForWindowExposed(calls->isVisible() ? static_cast<QWidget *>(calls)
                                                                    : own));
        const QRect main = window->isWindow() ? window->frameGeometry() : QRect();
        QTRY_COMPARE(sideOf(calls, main), row.calls);
        QTRY_COMPARE(sideOf(own, main), row.own);
        if (window->isWindow())
            QCOMPARE(window->frameGeometry().topLeft() != at, row.moved);
        if (calls->isVisible()) // in a text at least 75 %
            QVERIFY(calls->ownPercent() >= 75);
        if (calls->procedure->isVisible()) { // every line of the procedure whole
            QVERIFY(calls->procedure->text->width() >= calls->procedure->text->minimumWidth());
            QVERIFY(calls->procedure->text->height() >= calls->procedure->text->minimumHeight());
            QVERIFY(!onSurface(calls->procedure->explanation)
                             .intersects(onSurface(calls->procedure->text)));
        }
        if (own->isWindow() && own->isVisible() && own->ownPercent() == 100) // 15 lines of code
            QVERIFY(own->editor->viewport()->height()
                    >= 15 * own->editor->fontMetrics().lineSpacing());
        QList<QWidget *> parts; // what must never be covered
        for (QWidget *part : {static_cast<QWidget *>(calls), static_cast<QWidget *>(own)})
            if (part->isVisible())
                parts << part;
        if (!window->isWindow()) { // in the view: the program's parts on its surface too
            QWidget *surface = window->window();
            QCOMPARE(surface->geometry(), screen->geometry());
            if (!figdraw && row.screen == fullhd) // the verses grown with their box
                QVERIFY(window->findChild<QPlainTextEdit *>()->font().pointSizeF() >= 1.5 * 8.25);
            for (QWidget *part : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (part->isVisible() && !part->isWindow())
                    parts << part;
            for (QWidget *part : std::as_const(parts))
                QVERIFY2(surface->rect().contains(onSurface(part)),
                         qPrintable(u"%1 %2 %3"_qs.arg(part->metaObject()->className())
                                            .arg(onSurface(part).y())
                                            .arg(onSurface(part).height())));
        }
        const auto placed = [](QWidget *part) {
            return part->isWindow() ? part->frameGeometry() : onSurface(part);
        };
        for (QWidget *part : std::as_const(parts)) {
            QVERIFY(!part->isWindow()
                    || (area.contains(part->frameGeometry())
                        && !part->frameGeometry().intersects(main)));
            for (QWidget *other : std::as_const(parts))
                QVERIFY2(part == other || !placed(part).intersects(placed(other)),
                         qPrintable(u"%1 over %2"_qs.arg(part->metaObject()->className(),
                                                         other->metaObject()->className())));
        }
        // After a click on the program's window the others show where they are said to stand.
        if (QGuiApplication::platformName() == u"xcb" && window->isWindow() && !parts.isEmpty()) {
            window->activateWindow();
            window->raise();
            QTest::qWait(300);
            QWidget *part = parts.first();
            const QRect inside(part->mapToGlobal(QPoint()), part->size());
            const QImage shown = screen->grabWindow(0, inside.x() - screen->geometry().x(),
                                                    inside.y() - screen->geometry().y(),
                                                    inside.width(), inside.height())
                                         .toImage();
            QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
                     part->grab().toImage().convertToFormat(QImage::Format_RGB32));
        }
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
