// Times the largest figures the window accepts on the real canvas, next to
// painting the very same shapes straight through QPainter on an image.
#include "benchtools.h"
#include "callswindow.h"
#include "captionbutton.h"
#include "figurehistory.h"
#include "figurerecord.h"
#include "figures.h"
#include "figurewindow.h"
#include "ownrunner.h"
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
        case FigureRecord::Scale: // the built-in figures set none on their way
            break;
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
        history.add({&Figures::Treug,
                     {0, 0, 100, 100},
                     50,
                     0,
                     100,
                     0,
                     figures.counter,
                     colours.kept,
                     {}});
    std::printf("%-28s %d triangles: %.2f MB, %.0f bytes a figure\n", "figure history", count,
                double(history.bytes()) / 1e6, double(history.bytes()) / count);
}

// The class's own code from the runner's start to the record read into its run: an empty
// program, and a four-way recursion of about 100 000 and 1 400 000 calls.
void measureRunner()
{
    for (int depth : {-1, 8, 10}) {
        const QString code = u"def ris(n):\n    if n > 0:\n        ris(n - 1)\n        ris(n - 1)\n"
                             "        ris(n - 1)\n        ris(n - 1)\nris(%1)\n"_qs.arg(depth);
        qint32 calls = 0;
        const double ms = bestOf([&] {
            OwnRun run(code);
            runOwnCode(OwnProgram::Figures, run, nullptr);
            calls = run.trace().calls();
        });
        std::printf("%-28s %d calls: %.0f ms\n", "runner, four-way recursion", calls, ms);
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
    if (!qEnvironmentVariableIsSet("RECURSION_RUNNER")) // the build tree's
        qputenv("RECURSION_RUNNER",
                (QCoreApplication::applicationDirPath() + u"/../bin/recursion-runner"_qs)
                        .toLocal8Bit());
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
    if (part("runner"))
        measureRunner();
    if (part("own"))
        measureOwnProcedure();
    if (part("tree"))
        measureDrawnTree();
    for (const Figure &figure : figures)
        if (part("figures"))
            measure(figure);
    return 0;
}
