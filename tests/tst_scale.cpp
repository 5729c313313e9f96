#include "callswindow.h"
#include "captionbutton.h"
#include "figurerecord.h"
#include "figurewindow.h"
#include "picturebox.h"
#include "procedurepart.h"
#include "programscale.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>

namespace {

// The triangle's colours, the same on every run: the clock stands still.
class StillClock : public RandomColours
{
    float TimeOfDay() override { return 43200.5f; }
};

// The test screens: 0 large, 1 hd, 2 projector, 3 dense, 4 sxga, 5 fullhd, 6 laptop, 7 xga.
QScreen *screen(int index)
{
    const QString name = QStringList{u"large"_qs, u"hd"_qs,     u"projector"_qs, u"dense"_qs,
                                     u"sxga"_qs,  u"fullhd"_qs, u"laptop"_qs,    u"xga"_qs}[index];
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return nullptr;
}

// Shapes drawn on a canvas of their own at a scale, shown on the screen.
QImage drawnAt(int percent, int screen, const std::function<void(Canvas &)> &draw)
{
    PictureBox box;
    box.rescale(percent);
    box.move(::screen(screen)->geometry().topLeft());
    box.show();
    draw(box);
    return QTest::qWaitForWindowExposed(&box) ? box.picture() : QImage();
}

void triangle(Canvas &canvas)
{
    StillClock colours;
    Figures figures(canvas, colours);
    canvas.SetScale(0, 0, 100, 100);
    figures.Treug(50, 0, 100);
}

// The keys pressed in the window, made active again after the canvases of the expected pictures.
void press(QWidget &window, const QKeySequence &keys)
{
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keySequence(&window, keys);
}

QImage copied(QWidget &window)
{
    press(window, QKeySequence::Copy);
    return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
}

// The program, the screen it opens on, what the user does; then the scale, whether "Крупнее" is
// enabled, the window's size, a control's geometry (figdraw's first button, countdown's verses)
// and the calls window's own scale (negative where it stands over the program's window).
// clang-format off
struct Scenario { QString program; int screen; QStringList steps; int percent; bool larger; QSize window; QRect control; int calls = 0; };
// clang-format on

} // namespace

class TestScale : public QObject
{
    Q_OBJECT

private slots:
    void scenarios_data()
    {
        QTest::addColumn<Scenario>("row");
        const QStringList up8(8, u"Ctrl++"_qs);
        // clang-format off
        QTest::newRow("figdraw at 200 %, its dialogs") << Scenario{u"figdraw"_qs, 0, {u"Ctrl++"_qs, u"Ctrl+="_qs, u"Ctrl++"_qs, u"Крупнее"_qs, u"dialogs"_qs}, 200, true, {1260, 1062}, {896, 160, 258, 82}};
        QTest::newRow("figdraw at 300 %") << Scenario{u"figdraw"_qs, 0, up8, 300, false, {1890, 1593}, {1344, 240, 387, 123}};
        QTest::newRow("1920 x 1080 fits 175 %") << Scenario{u"figdraw"_qs, 1, up8, 175, false, {1102, 929}, {784, 140, 225, 71}};
        QTest::newRow("1024 x 768 fits 125 %") << Scenario{u"figdraw"_qs, 2, up8, 125, false, {787, 663}, {560, 100, 161, 51}};
        QTest::newRow("smaller, normal") << Scenario{u"figdraw"_qs, 0, {u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl+-"_qs, u"Ctrl+0"_qs, u"Ctrl+-"_qs, u"dialogs"_qs}, 100, true, {630, 531}, {448, 80, 129, 41}};
        QTest::newRow("keys in the calls window") << Scenario{u"figdraw"_qs, 0, {u"calls"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl+-"_qs}, 125, true, {787, 663}, {560, 100, 161, 51}, 125};
        QTest::newRow("calls window beside, smaller") << Scenario{u"figdraw"_qs, 1, {u"calls"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs}, 175, false, {1102, 929}, {784, 140, 225, 71}, 100};
        QTest::newRow("calls window on 1280 x 1024") << Scenario{u"figdraw"_qs, 4, {u"calls"_qs}, 100, true, {630, 531}, {448, 80, 129, 41}, 90};
        QTest::newRow("current rows in view, smaller") << Scenario{u"figdraw"_qs, 1, {u"calls"_qs, u"Ctrl++"_qs, u"snowflake"_qs, u"Ctrl+-"_qs}, 100, true, {630, 531}, {448, 80, 129, 41}, 100};
        QTest::newRow("calls window to the left") << Scenario{u"figdraw"_qs, 4, {u"edge"_qs, u"calls"_qs}, 100, true, {630, 531}, {448, 80, 129, 41}, 90};
        QTest::newRow("moved back on screen") << Scenario{u"figdraw"_qs, 1, {u"edge"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs}, 150, true, {945, 796}, {672, 120, 193, 61}};
        QTest::newRow("countdown at 200 %, its dialogs") << Scenario{u"countdown"_qs, 0, {u"Крупнее"_qs, u"Ctrl++"_qs, u"Ctrl+="_qs, u"Ctrl++"_qs, u"dialogs"_qs}, 200, true, {756, 586}, {32, 16, 690, 370}};
        QTest::newRow("countdown at 300 %, calls") << Scenario{u"countdown"_qs, 0, {u"calls"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs}, 300, false, {1134, 879}, {48, 24, 1035, 555}, 200};
        QTest::newRow("countdown on 1024 x 768") << Scenario{u"countdown"_qs, 2, up8, 200, false, {756, 586}, {32, 16, 690, 370}};
        // clang-format on
    }
    // The window, its controls and fonts, the calls window and the dialogs at a scale, within
    // the screen's available area.
    void scenarios()
    {
        QFETCH(Scenario, row);
        StillClock colours;
        const bool figdraw = row.program == u"figdraw";
        std::unique_ptr<QWidget> window(
                figdraw ? static_cast<QWidget *>(new figdraw::Form1(colours))
                        : new countdown::Form1);
        QWidget *control = figdraw
                ? static_cast<QWidget *>(window->findChildren<QPushButton *>()[0])
                : static_cast<QWidget *>(window->findChild<QPlainTextEdit *>());
        const QRect area = screen(row.screen)->availableGeometry();
        window->move(area.topLeft());
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto *calls = window->findChild<CallsWindow *>();
        QWidget *keysTo = window.get();
        DialogDriver dialogs;
        for (const QString &step : row.steps) {
            if (step == u"calls") {
                menuItem(window.get(), u"Показать вызовы"_qs)->trigger();
                QVERIFY(QTest::qWaitForWindowExposed(calls));
                calls->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(calls));
                keysTo = calls->heading;
            } else if (step == u"snowflake") { // stepped deep into a figure of many calls
                menuItem(window.get(), u"Рисовать по шагам"_qs)->trigger();
                dialogs.nextAnswer(u"60"_qs); // 341 calls, the whole tree open
                window->findChildren<QPushButton *>()[1]->click();
                for (int key = 0; key < 250; ++key)
                    QTest::keyClick(window.get(), Qt::Key_Right);
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window.get()));
                keysTo = window.get();
            } else if (step == u"edge") {
                window->move(area.right() + 1 - window->frameGeometry().width(), area.top());
            } else if (step == u"Крупнее") {
                menuItem(window.get(), step)->trigger();
            } else if (step == u"dialogs") { // the prompt, then the report on what was typed
                dialogs.nextAnswer(u"x"_qs);
                window->findChildren<QPushButton *>()[figdraw ? 0 : 1]->click();
            } else {
                QTest::keySequence(keysTo, QKeySequence(step));
            }
        }
        QCOMPARE(ProgramScale::of(window.get())->percent(), row.percent);
        QCOMPARE(menuItem(window.get(), u"Крупнее"_qs)->isEnabled(), row.larger);
        QCOMPARE(window->size(), row.window);
        QCOMPARE(control->geometry(), row.control);
        QCOMPARE(control->font().pointSizeF(), (figdraw ? 9.75 : 8.25) * row.percent / 100);
        QVERIFY(area.contains(window->frameGeometry()));
        const double points = QApplication::font().pointSizeF() * row.percent / 100;
        if (row.steps.contains(u"dialogs"))
            QVERIFY(dialogs.promptPoints == points && dialogs.reportPoints == points);
        if (figdraw) // the canvas menu and the scroll bars at the scale too
            QCOMPARE(static_cast<figdraw::Form1 *>(window.get())
                             ->Picture1->menu()
                             ->font()
                             .pointSizeF(),
                     points);
        const std::unique_ptr<QStyle> plain(QStyleFactory::create(u"fusion"_qs));
        QCOMPARE(calls->stack->verticalScrollBar()->sizeHint().width(),
                 plain->pixelMetric(QStyle::PM_ScrollBarExtent) * row.percent / 100);
        QTest::qWait(20); // the calls window placed again once the window has its new size
        QCOMPARE(calls->isVisible(), row.calls != 0);
        if (!calls->isVisible())
            return;
        // The calls window wholly on the screen, beside the program's window or else never over
        // the canvas or the verses, the longest line whole, the current rows in view.
        QCOMPARE(calls->ownPercent(), std::abs(row.calls));
        QCOMPARE(calls->heading->font().pointSizeF(),
                 QApplication::font().pointSizeF() * std::abs(row.calls) / 100);
        QCOMPARE(calls->procedure->text->font().pointSizeF(),
                 QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSizeF()
                         * std::abs(row.calls) / 100);
        QWidget *keptPart
                = figdraw ? static_cast<figdraw::Form1 *>(window.get())->Picture1 : control;
        const QRect kept(keptPart->mapToGlobal(QPoint()), keptPart->size());
        QTRY_VERIFY(area.contains(calls->frameGeometry())
                    && !calls->frameGeometry().intersects(kept));
        QCOMPARE(calls->frameGeometry().intersects(window->frameGeometry()), row.calls < 0);
        QVERIFY(calls->procedure->text->width() >= calls->procedure->text->minimumWidth());
        for (QAbstractItemView *view : calls->findChildren<QAbstractItemView *>())
            QTRY_VERIFY(!view->currentIndex().isValid()
                        || (view->visualRect(view->currentIndex()).top() >= 0
                            && view->visualRect(view->currentIndex()).bottom()
                                    < view->viewport()->height()));
    }
    void lessonView_data()
    {
        // The program, the screen, what the user does; the picture's least side and the calls
        // window's text in the view.
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("screen");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("text");
        const QStringList calls{u"figure"_qs, u"calls"_qs, u"F11"_qs};
        QTest::newRow("figdraw, 1920 x 1080") << u"figdraw"_qs << 5 << calls << 700 << 175;
        QTest::newRow("figdraw, 1366 x 768") << u"figdraw"_qs << 6 << calls << 460 << 100;
        // On 1024 x 768 the calls window has no room beside: it opens in the view.
        const QStringList joined{u"figure"_qs, u"calls"_qs};
        QTest::newRow("figdraw, 1024 x 768") << u"figdraw"_qs << 7 << joined << 393 << 80;
        QTest::newRow("stepped in the view")
                << u"figdraw"_qs << 6 << (calls + QStringList{u"stepped"_qs}) << 460 << 100;
        QTest::newRow("Выход in the view")
                << u"countdown"_qs << 6 << (calls + QStringList{u"exit"_qs}) << 0 << 0;
        QTest::newRow("calls opened in the view")
                << u"figdraw"_qs << 5 << QStringList{u"figure"_qs, u"F11"_qs, u"calls"_qs} << 700
                << 175;
        QTest::newRow("text smaller, then larger")
                << u"figdraw"_qs << 6
                << (calls + QStringList{u"Ctrl+-"_qs, u"Ctrl+-"_qs, u"Ctrl++"_qs}) << 460 << 90;
        QTest::newRow("no text larger than fits")
                << u"figdraw"_qs << 7 << (joined + QStringList{u"Ctrl++"_qs, u"Ctrl++"_qs}) << 389
                << 80;
        QTest::newRow("at 150 %") << u"figdraw"_qs << 5
                                  << (QStringList{u"Ctrl++"_qs, u"Ctrl++"_qs} + calls) << 700
                                  << 150;
        QTest::newRow("countdown, 1920 x 1080") << u"countdown"_qs << 5 << calls << 648 << 175;
        QTest::newRow("countdown, 1024 x 768") << u"countdown"_qs << 7 << calls << 461 << 80;
    }
    // The program fills the screen, nothing overlapping, the picture and the procedure's text
    // large; leaving gives back the windows and the picture as they were.
    void lessonView()
    {
        QFETCH(QString, program);
        QFETCH(int, screen);
        QFETCH(QStringList, steps);
        QFETCH(int, side);
        QFETCH(int, text);
        StillClock colours;
        const bool figdraw = program == u"figdraw";
        std::unique_ptr<QWidget> window(
                figdraw ? static_cast<QWidget *>(new figdraw::Form1(colours))
                        : new countdown::Form1);
        auto *form = figdraw ? static_cast<figdraw::Form1 *>(window.get()) : nullptr;
        QWidget *picture = figdraw ? static_cast<QWidget *>(form->Picture1)
                                   : window->findChild<QPlainTextEdit *>();
        const QRect area = ::screen(screen)->geometry();
        window->move(area.topLeft());
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto *calls = window->findChild<CallsWindow *>();
        DialogDriver dialogs;
        QImage before, beforeCopied;
        QRect windowBefore;
        for (const QString &step : steps) {
            if (window->isWindow())
                windowBefore = window->geometry();
            if (step == u"figure") {
                if (figdraw) {
                    dialogs.nextAnswer(u"60"_qs);
                    form->Command2->click();
                    before = form->Picture1->picture();
                    beforeCopied = copied(*window);
                }
            } else if (step == u"calls") {
                menuItem(window.get(), u"Показать вызовы"_qs)->trigger();
            } else if (step == u"stepped") { // a figure stepped through in the view
                menuItem(window.get(), u"Рисовать по шагам"_qs)->trigger();
                dialogs.nextAnswer(u"60"_qs);
                form->Command2->click();
                QTest::keyClick(form->Picture1, Qt::Key_Right);
                QCOMPARE(form->Label2->text(), u"Вызовов: 2\nГлубина: 2\nЛиний: 8"_qs);
                QTest::keyClick(form->Picture1, Qt::Key_Escape);
            } else if (step == u"exit") { // "Выход" leaves the view and closes the program
                QPointer<QWidget> surface = window->window();
                for (QPushButton *button : window->findChildren<QPushButton *>())
                    if (button->text() == u"Выход")
                        button->click();
                QTRY_VERIFY(!surface && window->isWindow() && !window->isVisible());
                return;
            } else {
                press(*window->window(), QKeySequence(step));
            }
            QApplication::processEvents();
        }
        QWidget *surface = window->window();
        QVERIFY(surface != window.get() && surface->isVisible());
        QCOMPARE(surface->geometry(), area);
        const auto placed = [surface](QWidget *part) {
            return QRect(part->mapTo(surface, QPoint()), part->size());
        };
        QVERIFY(std::min(picture->height(), figdraw ? picture->width() : side) >= side);
        QCOMPARE(calls->ownPercent(), text);
        QVERIFY(calls->isVisible() && surface->rect().contains(placed(calls)));
        QVERIFY(calls->procedure->text->width() >= calls->procedure->text->minimumWidth());
        for (QWidget *part : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!part->isVisible() || part->isWindow())
                continue;
            QVERIFY(surface->rect().contains(placed(part))
                    && !placed(part).intersects(placed(calls)));
            QVERIFY(part == picture || !placed(part).intersects(placed(picture)));
        }
        if (!figdraw) // the verses' text grown with their box
            QVERIFY(picture->font().pointSizeF() > 8.25);
        if (figdraw) { // the same picture copied as outside the view
            QCOMPARE(copied(*window), beforeCopied);
            QCOMPARE(form->Picture1->drawnStrokeWidth(), screen == 5 ? 2 : 1);
        }
        press(*window->window(), Qt::Key_F11);
        QVERIFY(window->isWindow() && window->isVisible());
        QCOMPARE(window->geometry(), windowBefore);
        if (figdraw)
            QCOMPARE(form->Picture1->picture(), before);
    }

    // The canvas drawn again at every scale and density, never stretched: a figure stepped
    // through keeps its moment, stepping back and undo go on; copying gives it at 100 %.
    void canvas()
    {
        for (const auto &[percent, width] :
             {std::pair{100, 1}, {125, 1}, {150, 2}, {200, 2}, {250, 3}, {300, 3}})
            QCOMPARE(inkBounds(drawnAt(percent, 0,
                                       [](Canvas &canvas) {
                                           canvas.SetScale(0, 0, 200, 200);
                                           canvas.DrawLine(0, 100, 200, 100, PaletteColour(0));
                                       }))
                             .height(),
                     width);

        StillClock colours;
        figdraw::Form1 form(colours);
        form.show();
        form.Command6->click();
        menuItem(&form, u"Показать вызовы"_qs)->trigger();
        menuItem(&form, u"Рисовать по шагам"_qs)->trigger();
        DialogDriver dialogs;
        dialogs.nextAnswer(u"60"_qs);
        form.Command2->click();
        press(form, Qt::Key_Right);
        press(form, Qt::Key_Right);
        const QImage atNormal = form.Picture1->picture();

        Figures snowflake(*form.Picture1, colours);
        FigureRecord record(snowflake.counter);
        snowflake.drawOn(record);
        snowflake.Ris(0, 0, 60);
        const auto upTo = [&record](int percent, qsizetype steps, int screen) {
            return drawnAt(percent, screen, [&](Canvas &canvas) {
                triangle(canvas);
                canvas.SetScale(-100, 100, 100, -100);
                record.replay(0, steps, canvas);
            });
        };
        for (int step = 0; step < 4; ++step)
            press(form, QKeySequence(u"Ctrl++"_qs));
        QCOMPARE(form.Picture1->picture(), upTo(200, 3, 0));
        QVERIFY(onScreen(form.Picture1, form.Picture1->contentsRect()) != form.Picture1->picture());
        QCOMPARE(copied(form), atNormal);
        press(form, Qt::Key_Left);
        QCOMPARE(form.Picture1->picture(), upTo(200, 2, 0));
        // On a screen of double density, at 200 % and 100 %, and back.
        form.move(screen(3)->geometry().topLeft());
        QTRY_COMPARE(form.Picture1->picture(), upTo(200, 2, 3));
        QCOMPARE(copied(form), upTo(100, 2, 3));
        press(form, QKeySequence(u"Ctrl+0"_qs));
        QCOMPARE(form.Picture1->picture(), upTo(100, 2, 3));
        form.move(screen(0)->geometry().topLeft());
        QTRY_COMPARE(form.Picture1->picture(), upTo(100, 2, 0));
        press(form, QKeySequence(u"Ctrl++"_qs));
        press(form, Qt::Key_Escape);
        QCOMPARE(form.Picture1->picture(), upTo(125, record.steps().size(), 0));
        press(form, QKeySequence::Undo);
        QCOMPARE(form.Picture1->picture(), drawnAt(125, 0, triangle));
    }
};

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
