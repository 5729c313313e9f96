// Times the drawn tree of calls: switching to it on the largest snowflake, a step with it
// shown, a frame of zoom and of pan, a 100 000-call tree opened whole and fitted, and its
// memory beside the record of a run of 2 M calls.
#include "benchtools.h"
#include "callswindow.h"
#include "calltreepicture.h"
#include "captionbutton.h"
#include "figurewindow.h"
#include "ownrun.h"
#include "ownrunner.h"
#include "randomcolours.h"
#include "windowtest.h"

#include <QPushButton>
#include <QScrollBar>

#include <cstdio>

namespace {

// A tree of so many calls, each making up to four, their arguments all different.
void growTrace(CallTrace &trace, qint32 calls)
{
    std::vector<int> depths{1};
    for (qint32 call = 0; call < calls; ++call) {
        const int depth = depths[size_t(call) % depths.size()];
        trace.enter(u"f(a, b)", depth, float(call), float(depth));
        depths.push_back(depth + 1);
    }
}

// The memory the drawn face keeps beside the trace: its folds, its repeats, the calls shown.
qsizetype drawnBytes(CallTreePicture &picture)
{
    const DrawnCalls &shown = picture.drawn();
    return picture.folds().bytes() + picture.repeats().bytes()
            + qsizetype(shown.call.capacity() + shown.parent.capacity() + shown.depth.capacity())
            * 4
            + qsizetype(shown.x.capacity()) * 8 + qsizetype(shown.folded.capacity() / 8);
}

} // namespace

void measureDrawnTree()
{
    RandomColours colours;
    figdraw::Form1 window(colours);
    window.show();
    auto *calls = window.findChild<CallsWindow *>();
    calls->resize(700, 1000);
    item(&window, u"Показать вызовы"_qs)->trigger();
    DialogDriver dialogs;
    dialogs.nextAnswer(u"5119.99"_qs); // the snowflake of 1 398 101 calls
    window.Command2->click();
    QApplication::processEvents();
    const double switching = untilShown([&] { calls->drawnTreeAction()->trigger(); }, {calls});
    CallTreePicture *picture = calls->picture;
    const qint32 shownByDefault = picture->drawn().size() - 1;
    item(&window, u"Рисовать по шагам"_qs)->trigger();
    const auto step = [&](Qt::Key key) {
        return untilShown([&] { QTest::keyClick(window.Command4, key); }, {calls, &window});
    };
    step(Qt::Key_Left);
    const double drawnBack = step(Qt::Key_Left), drawnForward = step(Qt::Key_Right);
    calls->drawnTreeAction()->trigger();
    const double listBack = step(Qt::Key_Left), listForward = step(Qt::Key_Right);
    calls->drawnTreeAction()->trigger();
    picture->openAll();
    // From 80 % to 100 % and back, then to and fro by half a part among the leaves, each frame
    // painted.
    const double zoom = bestOf([&] {
        picture->setZoom(picture->zoom() == 0.8 ? 1.0 : 0.8);
        picture->viewport()->grab();
    });
    QScrollBar *across = picture->horizontalScrollBar();
    const int middle = across->maximum() / 2, by = picture->viewport()->width() / 2;
    across->setValue(middle);
    picture->verticalScrollBar()->setValue(picture->verticalScrollBar()->maximum()); // the leaves
    const double pan = bestOf([&] {
        across->setValue(across->value() == middle ? middle + by : middle);
        picture->viewport()->grab();
    });
    std::printf("%-28s switching to the drawn face %.0f ms (%d calls shown); a step back %.1f ms, "
                "forward %.1f ms (the list: %.1f ms, %.1f ms); a frame of zoom %.1f ms, of pan "
                "%.1f ms (%d calls shown)\n",
                "snowflake d=5119.99", switching, shownByDefault, drawnBack, drawnForward, listBack,
                listForward, zoom, pan, picture->drawn().size() - 1);

    // The class's own four-way recursion of 1 398 101 calls, run, then drawn at its end.
    OwnRun run(u"def ris(x, y, r, d):\n    if d == 0:\n        return\n    circle(x, y, r)\n"
               "    ris(x + r, y, r / 2, d - 1)\n    ris(x - r, y, r / 2, d - 1)\n"
               "    ris(x, y + r, r / 2, d - 1)\n    ris(x, y - r, r / 2, d - 1)\n\n"
               "ris(100, 100, 50, 10)\n"_qs);
    runOwnCode(OwnProgram::Figures, run, nullptr);
    CallTreePicture own(run.trace());
    own.resize(700, 400);
    own.show();
    const double ownSwitching
            = untilShown([&] { own.showMoment(run.trace().calls() - 1, -1, true); }, {&own});
    std::printf("%-28s %d calls of the class's code drawn at their end %.0f ms (%d repeated)\n",
                "four-way recursion", run.trace().calls(), ownSwitching,
                own.repeats().countUpTo(run.trace().calls() - 1));

    CallTrace hundred;
    growTrace(hundred, 100'000);
    CallTreePicture alone(hundred);
    alone.resize(800, 600);
    alone.show();
    alone.showMoment(hundred.calls() - 1, -1, true);
    const double opening = untilShown(
            [&] {
                alone.openAll();
                alone.fit();
            },
            {&alone});
    std::printf("%-28s every call opened and fitted %.0f ms (zoom %.5f)\n", "100 000 calls",
                opening, alone.zoom());

    CallTrace large;
    growTrace(large, 2'000'000);
    CallTreePicture drawn(large);
    drawn.resize(800, 600);
    drawn.show();
    drawn.showMoment(large.calls() - 1, -1, true);
    const qsizetype folded = drawnBytes(drawn);
    std::printf("%-28s the record %.1f MB, the drawn face %.1f MB (%.0f %%)\n", "2 000 000 calls",
                double(large.bytes()) / 1e6, double(folded) / 1e6,
                100.0 * double(folded) / double(large.bytes()));
}
