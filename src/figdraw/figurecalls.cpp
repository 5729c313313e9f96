#include "figurecalls.h"

#include "callswindow.h"
#include "figurerecord.h"
#include "picturebox.h"
#include "unfolding.h"

#include <algorithm>

namespace {
// Going back redraws at most this many shapes after the nearest picture kept.
constexpr qint64 shapesBetweenSnapshots = 65536;
} // namespace

FigureCalls::FigureCalls(QWidget *window, PictureBox *picture, FigureRecord &record,
                         RecursionCounter &counter, Unfolding *unfolding)
    : QObject(window), picture(picture), record(record), counter(counter), unfolding(unfolding),
      calls(new CallsWindow(trace, QStringLiteral("Нарисуйте фигуру, чтобы увидеть её вызовы"),
                            true, window))
{
    unfolding->watchKeysIn(calls);
    connect(calls, &CallsWindow::callChosen, this, &FigureCalls::choose);
}

QAction *FigureCalls::showAction() const
{
    return calls->showAction();
}

// A figure after a figure reuses the memory of the record and the calls: taking
// tens of megabytes afresh from the system would take longer than drawing.
void FigureCalls::beginFigure(CountsShown counts)
{
    showCounts = std::move(counts);
    if (!calls->isVisible()) {
        clear();
        return;
    }
    snapshots.clear();
    painted = 0;
    trace.restart();
    record.restart();
    kept = true;
    counter.trace = &trace;
    snapshots.push_back({0, 0, picture->picture()});
}

void FigureCalls::endFigure()
{
    counter.trace = nullptr;
}

std::function<void(qsizetype)> FigureCalls::rewinder()
{
    if (!kept)
        return {};
    return [this](qsizetype last) { rewind(last); };
}

// Keeps a picture each time the shapes pass the next multiple of the distance between them.
void FigureCalls::paint(qsizetype first, qsizetype last)
{
    const auto &steps = record.steps();
    while (kept && first < last) {
        const qint64 due = snapshots.back().shapes + shapesBetweenSnapshots;
        const auto reaching = std::lower_bound(
                steps.begin() + first, steps.begin() + last, due,
                [](const FigureRecord::Step &step, qint64 shapes) { return step.end < shapes; });
        if (reaching == steps.begin() + last)
            break;
        const qsizetype next = reaching - steps.begin() + 1;
        record.replay(first, next, *picture);
        snapshots.push_back({next, reaching->end, picture->picture()});
        first = next;
    }
    record.replay(first, last, *picture);
    painted = last;
}

bool FigureCalls::follow(qsizetype last)
{
    if (!kept)
        return false;
    const bool end = last == qsizetype(record.steps().size());
    if (end && !calls->isVisible()) {
        clear();
        return false;
    }
    calls->showCall(last > 0 ? trace.stepCall(last - 1) : trace.calls() - 1);
    return true;
}

// The unfolding forgets how to rewind the figure, the record its shapes.
void FigureCalls::clear()
{
    if (kept)
        unfolding->stop();
    record.clear();
    counter.trace = nullptr;
    kept = false;
    trace.clear();
    snapshots.clear();
    painted = 0;
    calls->showNoCalls();
}

void FigureCalls::repaint()
{
    if (kept)
        snapshots = {{0, 0, picture->picture()}};
    paint(0, painted);
}

// The canvas as it was before the figure, or at the latest picture kept within
// the steps, then the steps after it drawn again.
void FigureCalls::rewind(qsizetype last)
{
    const auto from = std::prev(std::upper_bound(
            snapshots.begin(), snapshots.end(), last,
            [](qsizetype steps, const Snapshot &snapshot) { return steps < snapshot.steps; }));
    picture->markFollowingShapes(false);
    picture->setPicture(from->picture);
    paint(from->steps, last);
    if (!choosing)
        showMoment(last > 0 ? trace.stepCall(last - 1) : 0);
}

void FigureCalls::choose(qint32 call)
{
    if (!kept || call >= trace.calls())
        return;
    choosing = true;
    unfolding->goTo(trace.stepsUpTo(call));
    choosing = false;
    showMoment(call);
}

// The label and the window at this call; its shapes marked, when it drew.
void FigureCalls::showMoment(qint32 call)
{
    const qsizetype steps = trace.stepsUpTo(call);
    picture->markFollowingShapes(trace.drewAnything(call));
    if (trace.drewAnything(call))
        record.replay(steps - 1, steps, *picture); // the same pixels again, now marked
    const qint64 shapes = steps > 0 ? record.steps()[size_t(steps - 1)].end : 0;
    if (showCounts)
        showCounts(call + 1, int(trace.path(call).size()), shapes);
    calls->showCall(call);
}
