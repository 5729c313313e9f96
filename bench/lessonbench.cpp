// Times the largest figures the window accepts on the real canvas, next to
// painting the very same shapes straight through QPainter on an image.
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

namespace {

constexpr int runs = 5;

// Milliseconds for one go of the work, the best of several runs. Small work
// is repeated within a run until the run takes about 20 ms.
double bestOf(const std::function<void()> &work)
{
    QElapsedTimer trial;
    trial.start();
    work();
    const qint64 once = std::max<qint64>(trial.nsecsElapsed(), 1);
    const qint64 repeats = std::clamp<qint64>(20'000'000 / once, 1, 100'000);
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (qint64 i = 0; i < repeats; ++i)
            work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6 / double(repeats));
    }
    return best;
}

// Paints recorded shapes with a bare QPainter, mapping user to pixel coordinates inline.
void paintDirectly(const LargeVector<FigureRecord::Shape> &shapes, const qint16 (&scale)[4],
                   QImage &image)
{
    QPainter painter(&image);
    const double size = PictureBox::insideSize;
    const double left = scale[0], top = scale[1], width = scale[2] - left, height = scale[3] - top;
    QPointF current;
    const auto pixels = [&](double x, double y) {
        return QPointF((x - left) / width * size, (y - top) / height * size);
    };
    for (const auto &shape : shapes) {
        painter.setPen(QColor::fromRgb(shape.colour));
        switch (shape.kind) {
        case FigureRecord::Line:
            current = pixels(shape.a, shape.b);
            [[fallthrough]];
        case FigureRecord::LineOn: {
            const QPointF to = pixels(shape.c, shape.d);
            painter.drawLine(current, to);
            current = to;
            break;
        }
        case FigureRecord::Circle: {
            const double r = shape.c / std::abs(width) * size;
            painter.drawEllipse(pixels(shape.a, shape.b), r, r);
            break;
        }
        }
    }
}

struct Figure
{
    const char *name;
    qint16 scale[4];
    std::function<void(Figures &)> draw;
};

void measure(const Figure &figure)
{
    RandomColours colours;
    PictureBox canvas;
    Figures onCanvas(canvas, colours);
    const double figureTime = bestOf([&] {
        canvas.ClearCanvas();
        canvas.SetScale(figure.scale[0], figure.scale[1], figure.scale[2], figure.scale[3]);
        figure.draw(onCanvas);
        canvas.picture(); // the painting is finished, as before the window shows it
    });

    Figures recorded(canvas, colours);
    FigureRecord record(recorded.counter);
    recorded.drawOn(record);
    figure.draw(recorded);
    QImage image(PictureBox::insideSize, PictureBox::insideSize, QImage::Format_RGB32);
    const double bareTime = bestOf([&] {
        image.fill(Qt::white);
        paintDirectly(record.shapes(), figure.scale, image);
    });

    std::printf(
            "%-28s %9lld shapes  figure + canvas %9.2f ms   bare QPainter %9.2f ms   ratio %5.2f\n",
            figure.name, recorded.counter.shapes(), figureTime, bareTime, figureTime / bareTime);
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The largest count: from the click on "Пуск" to the whole verse shown, next to
// putting the same finished text into the box in one call.
void measureCountdown()
{
    countdown::Form1 window;
    window.show();
    DialogDriver dialogs;
    const long before = peakKilobytes();
    const double clickTime = bestOf([&] {
        window.Text1->clear();
        dialogs.nextAnswer(QStringLiteral("32767"));
        window.Command2->click();
        QApplication::processEvents();
    });
    const long after = peakKilobytes();

    Verses verses;
    negr(32767, verses);
    const QString verse = verses.text.replace(u"\r\n"_qs, u"\n"_qs);
    const double oneCallTime = bestOf([&] {
        window.Text1->setPlainText(verse);
        QApplication::processEvents();
    });
    std::printf("%-28s %9lld lines   click to verse   %9.2f ms   one setPlainText %8.2f ms   ratio "
                "%5.2f\n",
                "countdown 32767", qint64(window.Text1->document()->blockCount()), clickTime,
                oneCallTime, clickTime / oneCallTime);
    std::printf("%-28s peak memory %ld MiB before the runs, %ld MiB after\n", "", before / 1024,
                after / 1024);
}

// The largest figure the window accepts, at "Рисовать быстро": from the click
// (its prompt answered at once) to the first shapes painted, and from Esc to the
// whole figure painted; and the memory its record of calls takes.
void measureUnfolding()
{
    RandomColours colours;
    figdraw::Form1 window(colours);
    window.show();
    for (QAction *action : window.Picture1->menu()->actions())
        if (action->text() == u"Рисовать быстро"_qs)
            action->trigger();
    DialogDriver dialogs;
    dialogs.nextAnswer(u"5119.99"_qs);
    QElapsedTimer timer;
    timer.start();
    window.Command2->click();
    QApplication::processEvents();
    const double firstShapes = double(timer.nsecsElapsed()) / 1e6;
    const QString firstCounts = window.Label2->text().replace(u'\n', u' ');
    timer.restart();
    QTest::keyClick(&window, Qt::Key_Escape);
    QApplication::processEvents();
    const double rest = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%-28s first shapes %9.2f ms after the click (%s), Esc to the end %9.2f ms (%s)\n",
                "unfolding snowflake 5119.99", firstShapes, qPrintable(firstCounts), rest,
                qPrintable(window.Label2->text().replace(u'\n', u' ')));

    PictureBox canvas;
    Figures figures(canvas, colours);
    FigureRecord record(figures.counter);
    for (const auto &[name, draw] :
         std::initializer_list<std::pair<const char *, std::function<void()>>>{
                 {"snowflake d=5119.99", [&] { figures.Ris(0, 0, 5119.99); }},
                 {"horizontal chain R=33252.5", [&] { figures.Ris1(100, 100, 33252.5); }}}) {
        record.clear();
        figures.drawOn(record);
        draw();
        std::printf("%-28s record of %zu shapes in %zu calls: %.1f MB\n", name,
                    record.shapes().size(), record.steps().size(), double(record.bytes()) / 1e6);
    }
}

// The largest figures the window accepts, saved as SVG, printed to a PDF file
// (A4, 1200 dpi) and saved as an animated GIF; and the memory the history takes
// per figure.
void measureVectorOutput()
{
    // clang-format off
    const struct { const char *name; int button; const char *size; } largest[] = {
            {"horizontal chain R=33252.5", 1, "33252.5"}, {"vertical chain R=33252.5", 7, "33252.5"},
            {"diagonal chain R=33252.5", 8, "33252.5"}, {"snowflake d=5119.99", 2, "5119.99"},
            {"six-armed d=32804.99", 5, "32804.99"}, {"snowflake d=99 (all shows)", 2, "99"}};
    // clang-format on
    const QTemporaryDir folder;
    for (const auto &figure : largest) {
        RandomColours colours;
        figdraw::Form1 window(colours);
        window.show();
        DialogDriver dialogs;
        dialogs.nextAnswer(QString::fromLatin1(figure.size));
        window.findChildren<CaptionButton *>()[figure.button - 1]->click();
        auto *file = window.findChild<PictureFile *>();
        qsizetype svgBytes = 0;
        const double svgTime = bestOf([&] { svgBytes = file->svg().size(); });
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(u"figure.pdf"_qs));
        const double pdfTime = bestOf([&] { file->printOn(printer); });
        std::printf("%-28s SVG %6.0f ms, %5.2f MB   PDF (A4, 1200 dpi) %6.0f ms, %5.2f MB\n",
                    figure.name, svgTime, double(svgBytes) / 1e6, pdfTime,
                    double(QFileInfo(printer.outputFileName()).size()) / 1e6);
        // The animated GIF at the canvas's size, made and written once (at 300 %, at most
        // 5 s and 10 MB); no progress dialog.
        file->progressAfter = 3'600'000;
        for (const int percent : {100, 300}) {
            ProgramScale::of(&window)->setPercent(percent);
            QElapsedTimer gifTimer;
            gifTimer.start();
            QFile gif(folder.filePath(u"figure.gif"_qs));
            const bool written = gif.open(QIODevice::WriteOnly) && gif.write(file->gif()) > 0;
            gif.close();
            const int side = QImageReader(gif.fileName()).size().width();
            std::printf("%-28s GIF at %d %% (%d px) %6.0f ms, %5.2f MB%s\n", "", percent, side,
                        double(gifTimer.nsecsElapsed()) / 1e6, double(gif.size()) / 1e6,
                        written ? "" : " (not written)");
        }
    }

    RandomColours clock;
    KeptColours colours(clock);
    PictureBox canvas;
    Figures figures(canvas, colours);
    figures.Treug(50, 0, 100);
    FigureHistory history;
    constexpr int count = 10'000;
    for (int i = 0; i < count; ++i)
        history.add(
                {&Figures::Treug, {0, 0, 100, 100}, 50, 0, 100, 0, figures.counter, colours.kept});
    std::printf("%-28s %d triangles: %.2f MB, %.0f bytes a figure\n", "figure history", count,
                double(history.bytes()) / 1e6, double(history.bytes()) / count);
}

// Milliseconds from the work to the windows painted as they then stand.
double untilShown(const std::function<void()> &work, const QList<QWidget *> &windows)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents(); // a chosen call is gone to once the view is done with the click
    for (QWidget *window : windows)
        window->grab();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The largest figure each figure button draws, with the size typed for it.
const struct
{
    const char *name;
    int button;
    QString size;
} largestOnButtons[] = {{"horizontal chain R=33252.5", 1, u"33252.5"_qs},
                        {"diagonal chain R=33252.5", 8, u"33252.5"_qs},
                        {"snowflake d=5119.99", 2, u"5119.99"_qs},
                        {"six-armed d=32804.99", 5, u"32804.99"_qs}};

QAction *item(QWidget *window, const QString &text)
{
    for (QAction *action : window->findChildren<QAction *>())
        if (action->text() == text)
            return action;
    return nullptr;
}

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

// Qt's offscreen platform warns at every window shown that it cannot pass size hints on;
// that warning is dropped, so that the output holds the figures. Every other message stays.
QtMessageHandler qtHandler = nullptr;

void withoutSizeHintWarnings(QtMsgType type, const QMessageLogContext &context,
                             const QString &message)
{
    if (type == QtWarningMsg && message.contains(u"does not support propagateSizeHints()"))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    qtHandler = qInstallMessageHandler(withoutSizeHintWarnings);
    QApplication app(argc, argv);
    std::printf("best of %d runs, Release build expected\n", runs);
    // The largest start sizes the window accepts.
    const Figure figures[] = {
            {"horizontal chain R=33252.5",
             {0, 0, 200, 200},
             [](Figures &f) { f.Ris1(100, 100, 33252.5); }},
            {"vertical chain R=33252.5",
             {0, 0, 200, 200},
             [](Figures &f) { f.Ris2(100, 100, 33252.5); }},
            {"diagonal chain R=33252.5",
             {0, 0, 200, 200},
             [](Figures &f) {
                 f.Pi = 3.14157f;
                 f.Diag(100, 100, 33252.5);
             }},
            {"chain R=39 (everything shows)",
             {0, 0, 200, 200},
             [](Figures &f) { f.Ris1(100, 100, 39); }},
            {"snowflake d=5119.99",
             {-100, 100, 100, -100},
             [](Figures &f) { f.Ris(0, 0, 5119.99); }},
            {"six-armed d=32804.99",
             {-100, 100, 100, -100},
             [](Figures &f) { f.Ris3(0, 0, 32804.99); }},
            {"snowflake d=99 (all shows)",
             {-100, 100, 100, -100},
             [](Figures &f) { f.Ris(0, 0, 99); }},
            {"six-armed d=79", {-100, 100, 100, -100}, [](Figures &f) { f.Ris3(0, 0, 79); }},
            {"Sierpinski triangle", {0, 0, 100, 100}, [](Figures &f) { f.Treug(50, 0, 100); }},
    };
    // One part alone when named: "lessonbench calls".
    const QString only = app.arguments().value(1);
    const auto part = [&only](const char *name) { return only.isEmpty() || only == name; };
    if (part("scale")) // first, so that the peak memory it gives is its own
        measureScale();
    if (part("vector"))
        measureVectorOutput();
    if (part("lesson"))
        measureLessonView();
    if (part("calls"))
        measureCalls();
    if (part("lines"))
        measureLines();
    if (part("unfolding"))
        measureUnfolding();
    if (part("countdown"))
        measureCountdown();
    for (const Figure &figure : figures)
        if (part("figures"))
            measure(figure);
    return 0;
}
