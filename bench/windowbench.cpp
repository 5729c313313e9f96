// Times the windows with the largest figures: the calls window, the line steps, the scale
// and the lesson view, each until the windows are painted.
#include "benchtools.h"
#include "callswindow.h"
#include "captionbutton.h"
#include "figurehistory.h"
#include "figurerecord.h"
#include "figures.h"
#include "figurewindow.h"
#include "picturebox.h"
#include "picturefile.h"
#include "procedurepart.h"
#include "programscale.h"
#include "rhymewindow.h"
#include "verse.h"
#include "windowtest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

// The largest figures with the calls window open: the memory of their shapes and
// calls, drawing at "сразу" with the window closed and open, opening the window,
// choosing a call and one step back; countdown's deepest stack.
void measureCalls()
{
    const struct
    {
        const char *name;
        int button;
        QString size;
        std::function<void(Figures &)> draw;
    } largest[] = {
            {"horizontal chain R=33252.5", 1, u"33252.5"_qs,
             [](Figures &f) { f.Ris1(100, 100, 33252.5); }},
            {"snowflake d=5119.99", 2, u"5119.99"_qs, [](Figures &f) { f.Ris(0, 0, 5119.99); }},
            {"six-armed d=32804.99", 5, u"32804.99"_qs, [](Figures &f) { f.Ris3(0, 0, 32804.99); }},
    };
    for (const auto &figure : largest) {
        RandomColours colours;
        PictureBox canvas;
        Figures figures(canvas, colours);
        FigureRecord record(figures.counter);
        CallTrace trace;
        figures.counter.trace = &trace;
        figures.drawOn(record);
        figure.draw(figures);
        std::printf("%-28s %zu shapes, %d calls: shapes %.1f MB + calls %.1f MB = %.1f MB\n",
                    figure.name, record.shapes().size(), trace.calls(),
                    double(record.bytes()) / 1e6, double(trace.bytes()) / 1e6,
                    double(record.bytes() + trace.bytes()) / 1e6);

        figdraw::Form1 window(colours);
        window.show();
        auto *calls = window.findChild<CallsWindow *>();
        QAction *showCalls = item(&window, u"Показать вызовы"_qs);
        DialogDriver dialogs;
        QPushButton *button = window.findChildren<CaptionButton *>()[figure.button - 1];
        // Figures accumulate: the same figure drawn again costs the same.
        const auto draw = [&] {
            dialogs.nextAnswer(figure.size);
            button->click();
            QApplication::processEvents();
        };
        const double firstClosed = untilShown(draw, {});
        const double closedTime = bestOf(draw);
        const double firstOpening = untilShown([&] { showCalls->trigger(); }, {calls});
        window.Command3->click();
        const double firstTime = untilShown(draw, {});
        const double openTime = bestOf(draw);
        window.Command3->click();
        draw();
        draw();
        const double undoTime = untilShown(
                [&] { item(&window, u"Отменить рисунок"_qs)->trigger(); }, {calls, &window});
        showCalls->trigger();
        const double opening = untilShown([&] { showCalls->trigger(); }, {calls});
        QTreeView *tree = calls->tree;
        QModelIndex last = tree->model()->index(0, 0); // the last call, at the bottom of the tree
        while (tree->model()->rowCount(last) > 0)
            last = tree->model()->index(tree->model()->rowCount(last) - 1, 0, last);
        const QModelIndex before = last.parent();
        const double choosing
                = untilShown([&] { tree->setCurrentIndex(before); }, {calls, &window});
        const QString chosen = calls->heading->text();
        item(&window, u"Рисовать по шагам"_qs)->trigger();
        const double stepBack = untilShown([&] { QTest::keyClick(window.Command4, Qt::Key_Left); },
                                           {calls, &window});
        const QString stepped = calls->heading->text();
        const double pointing = untilShown(
                [&] {
                    QTest::mouseClick(window.Picture1, Qt::LeftButton, Qt::ControlModifier,
                                      window.Picture1->rect().center());
                },
                {calls, &window});
        const QString pointed = calls->heading->text();
        item(&window, u"Рисовать сразу"_qs)->trigger();
        std::printf("%-28s at once, the window closed: the first figure %.2f ms, later %.2f ms; "
                    "open: the first %.2f ms (%.2f times closed), later %.2f ms (%.2f times)\n"
                    "%-28s undo to one such figure, recorded again for the open window, %.2f ms "
                    "(%.2f times the figure closed)\n"
                    "%-28s opening the window %.2f ms (the first time %.2f ms), choosing a call "
                    "%.2f ms (%s), one "
                    "step back %.2f ms (%s), Ctrl+click in the middle %.2f ms (%s)\n",
                    "", firstClosed, closedTime, firstTime, firstTime / closedTime, openTime,
                    openTime / closedTime, "", undoTime, undoTime / closedTime, "", opening,
                    firstOpening, choosing, qPrintable(chosen), stepBack, qPrintable(stepped),
                    pointing, qPrintable(pointed));
    }

    countdown::Form1 window;
    window.show();
    auto *calls = window.findChild<CallsWindow *>();
    QAction *showCalls = item(&window, u"Показать вызовы"_qs);
    DialogDriver dialogs;
    const auto verse = [&] {
        window.Command3->click();
        dialogs.nextAnswer(QStringLiteral("32767"));
        window.Command2->click();
    };
    const double closedTime = untilShown(verse, {&window});
    showCalls->trigger();
    const double openTime = untilShown(verse, {calls, &window});
    showCalls->trigger();
    item(&window, u"Писать по шагам"_qs)->trigger();
    QTest::keyClick(window.Command1, Qt::Key_Left); // back to the deepest call, all waiting
    showCalls->trigger();
    const double opening = untilShown([&] { showCalls->trigger(); }, {calls});
    const int rows = calls->stack->model()->rowCount();
    const double middle = untilShown(
            [&] { calls->stack->setCurrentIndex(calls->stack->model()->index(rows / 2, 0)); },
            {calls, &window});
    std::printf("%-28s click to verse %.2f ms with the window closed, %.2f ms open; opening the "
                "window on the stack of %d rows %.2f ms, choosing the middle row %.2f ms (%s)\n",
                "countdown 32767", closedTime, openTime, rows, opening, middle,
                qPrintable(calls->heading->text()));
}

// The largest figures and countdown 32767 at "по строкам": the slowest of a few line steps
// forward and back, a step over the first call's first call and over the rest of the first
// call, and a Ctrl+click, each until both windows show it; the memory the record and the
// calls take stays theirs alone, the lines being read from them.
void measureLines()
{
    const auto press = [](QWidget *widget, Qt::Key key, Qt::KeyboardModifiers shift = {}) {
        return [=] { QTest::keyClick(widget, key, shift); };
    };
    for (const auto &figure : largestOnButtons) {
        RandomColours colours;
        figdraw::Form1 window(colours);
        window.show();
        auto *calls = window.findChild<CallsWindow *>();
        DialogDriver dialogs;
        item(&window, u"Рисовать по строкам"_qs)->trigger();
        QPushButton *button = window.findChildren<CaptionButton *>()[figure.button - 1];
        const QList<QWidget *> both{calls, &window};
        const double first = untilShown(
                [&] {
                    dialogs.nextAnswer(figure.size);
                    button->click();
                },
                both);
        while (!calls->procedure->explanation->text().contains(u"Рекурсивный вызов 1 из"))
            QTest::keyClick(window.Command4, Qt::Key_Space); // to the first call's first call line
        const double over
                = untilShown(press(window.Command4, Qt::Key_Space, Qt::ShiftModifier), both);
        const QString overTo = calls->heading->text();
        const double backInto = untilShown(press(window.Command4, Qt::Key_Left), both);
        double forward = 0, back = 0;
        for (int line = 0; line < 12; ++line)
            forward = std::max(forward, untilShown(press(window.Command4, Qt::Key_Space), both));
        for (int line = 0; line < 6; ++line)
            back = std::max(back, untilShown(press(window.Command4, Qt::Key_Left), both));
        const double pointing = untilShown(
                [&] {
                    QTest::mouseClick(window.Picture1, Qt::LeftButton, Qt::ControlModifier,
                                      window.Picture1->rect().center() + QPoint(0, 40));
                },
                both);
        const QString pointed = calls->heading->text();
        QTest::keyClick(window.Command4, Qt::Key_Space);
        const double overRest
                = untilShown(press(window.Command4, Qt::Key_Right, Qt::ShiftModifier), both);
        std::printf("%-28s by lines: the first line %.2f ms; the slowest of 12 steps forward "
                    "%.2f ms, of 6 back %.2f ms; over the first call's first call %.2f ms "
                    "(%s), back into it %.2f ms; Ctrl+click %.2f ms (%s); over the rest of a "
                    "call %.2f ms (%s)\n",
                    figure.name, first, forward, back, over, qPrintable(overTo), backInto, pointing,
                    qPrintable(pointed), overRest, qPrintable(calls->heading->text()));
    }

    countdown::Form1 window;
    window.show();
    auto *calls = window.findChild<CallsWindow *>();
    DialogDriver dialogs;
    item(&window, u"Писать по строкам"_qs)->trigger();
    const QList<QWidget *> both{calls, &window};
    const double first = untilShown(
            [&] {
                dialogs.nextAnswer(QStringLiteral("32767"));
                window.Command2->click();
            },
            both);
    double forward = 0;
    for (int line = 0; line < 6; ++line)
        forward = std::max(forward, untilShown(press(window.Command1, Qt::Key_Space), both));
    const double over = untilShown(press(window.Command1, Qt::Key_Space, Qt::ShiftModifier), both);
    const QString overTo = calls->heading->text();
    double back = 0;
    for (int line = 0; line < 6; ++line)
        back = std::max(back, untilShown(press(window.Command1, Qt::Key_Left), both));
    std::printf("%-28s by lines: the first line %.2f ms; the slowest of 6 steps forward %.2f ms; "
                "over the first call's call %.2f ms (%s); the slowest of 6 steps back from there "
                "%.2f ms (%s)\n",
                "countdown 32767", first, forward, over, qPrintable(overTo), back,
                qPrintable(calls->heading->text()));
}

// The largest figures on the canvas at 300 %: the time from the scale's change to the
// picture drawn again and the windows painted; with the calls window open, the figure
// drawn at 300 %, a call chosen and a step back, the program's peak memory. Run first, so
// that the peak is this work's alone.
void measureScale()
{
    for (const auto &figure : largestOnButtons) {
        RandomColours colours;
        figdraw::Form1 window(colours);
        window.show();
        ProgramScale *scale = ProgramScale::of(&window);
        DialogDriver dialogs;
        dialogs.nextAnswer(figure.size);
        window.findChildren<CaptionButton *>()[figure.button - 1]->click();
        double best = 1e300;
        for (int run = 0; run < runs; ++run) {
            scale->setPercent(100);
            best = std::min(best, untilShown([&] { scale->setPercent(300); }, {&window}));
        }
        scale->setPercent(100);
        std::printf("%-28s redrawn at 300 %% %7.2f ms\n", figure.name, best);

        item(&window, u"Показать вызовы"_qs)->trigger();
        scale->setPercent(300);
        dialogs.nextAnswer(figure.size);
        window.findChildren<CaptionButton *>()[figure.button - 1]->click();
        QApplication::processEvents();
        auto *calls = window.findChild<CallsWindow *>();
        QTreeView *tree = calls->tree;
        const double choosing
                = untilShown([&] { tree->setCurrentIndex(tree->indexAbove(tree->currentIndex())); },
                             {calls, &window});
        item(&window, u"Рисовать по шагам"_qs)->trigger();
        const double stepBack = untilShown([&] { QTest::keyClick(window.Command4, Qt::Key_Left); },
                                           {calls, &window});
        const double fromRecord = untilShown([&] { scale->setPercent(250); }, {calls, &window});
        std::printf("%-28s at 300 %% with the calls window: choosing a call %.2f ms, one step back "
                    "%.2f ms, drawn again at 250 %% %.2f ms; peak memory so far %ld MiB\n",
                    "", choosing, stepBack, fromRecord, peakKilobytes() / 1024);
    }
}

// The lesson view entered and left with each largest figure on the canvas and the calls
// window open, until both are painted, on 1920 x 1080, 1366 x 768 and 1024 x 768 screens:
// the canvas's side and the calls window's text there.
void measureLessonView()
{
    for (const QSize screenSize : {QSize(1920, 1080), QSize(1366, 768), QSize(1024, 768)})
        for (const auto &figure : largestOnButtons) {
            RandomColours colours;
            figdraw::Form1 window(colours);
            for (QScreen *screen : QGuiApplication::screens())
                if (screen->size() == screenSize)
                    window.move(screen->geometry().topLeft());
            window.show();
            item(&window, u"Показать вызовы"_qs)->trigger();
            DialogDriver dialogs;
            dialogs.nextAnswer(figure.size);
            window.findChildren<CaptionButton *>()[figure.button - 1]->click();
            QApplication::processEvents();
            QAction *lesson = item(&window, u"Урок на весь экран"_qs);
            auto *calls = window.findChild<CallsWindow *>();
            double entering = 1e300, leaving = 1e300;
            int side = 0, text = 0;
            for (int run = 0; run < runs; ++run) {
                entering = std::min(entering,
                                    untilShown([&] { lesson->trigger(); }, {window.window()}));
                side = window.Picture1->width();
                text = calls->ownPercent();
                leaving = std::min(leaving,
                                   untilShown([&] { lesson->trigger(); }, {&window, calls}));
            }
            std::printf("%-28s lesson view on %dx%d: canvas %d px, text %d %%; entering %.2f ms, "
                        "leaving %.2f ms\n",
                        figure.name, screenSize.width(), screenSize.height(), side, text, entering,
                        leaving);
        }
}
