#include "figurecalls.h"

#include "callswindow.h"
#include "figurefacts.h"
#include "figurerecord.h"
#include "linesteps.h"
#include "ownrun.h"
#include "picturebox.h"
#include "recordedlines.h"
#include "unfolding.h"

#include <QAction>

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
    calls->setCallFacts([this](qint32 call) { return figureFacts(this->record, trace, call); });
    lines = new LineSteps(calls, trace,
                          {[this] { return traced ? order.get() : nullptr; },
                           [this](const LineOrder &, LinePlace place) { showLine(place); },
                           [this](qint32 call) { choose(call); }});
    unfolding->setLineSteps(lines);
    connect(showAction(), &QAction::toggled, this, &FigureCalls::takeMemory);
}

// Opened, the window takes at once the memory the largest figure's record and calls
// need: the kernel handing out fresh memory would make the first figure the slowest.
void FigureCalls::takeMemory(bool open)
{
    if (!open)
        return;
    const FigureCount largest = largestFigureCount();
    record.reserve(largest.shapes, largest.drawingCalls);
    trace.reserve(largest.calls, largest.drawingCalls);
}

QAction *FigureCalls::showAction() const
{
    return calls->showAction();
}

QAction *FigureCalls::drawnTreeAction() const
{
    return calls->drawnTreeAction();
}

bool FigureCalls::isOpen() const
{
    return calls->isVisible();
}

// The record and the calls take their memory at once: grown step by step, they
// would copy and touch it about twice.
bool FigureCalls::beginFigure(bool unfolds, const FigureCount &expected, CountsShown counts)
{
    showCounts = std::move(counts);
    clear();
    traced = isOpen();
    recorded = unfolds || traced;
    if (!recorded)
        return false;
    record.reserve(expected.shapes, expected.drawingCalls);
    if (traced) {
        trace.reserve(expected.calls, expected.drawingCalls);
        counter.trace = &trace;
    }
    snapshots.push_back({0, 0, picture->picture()});
    return true;
}

void FigureCalls::endFigure()
{
    counter.trace = nullptr;
    if (traced)
        order = std::make_unique<LineWalk>(trace, ProcedureText::named(trace.procedureName()));
}

// The own figure's calls go with it, the calls window open or not: they cannot be had again.
void FigureCalls::beginOwnFigure(std::shared_ptr<const OwnRun> run, qsizetype shapesLeftOut,
                                 CountsShown counts)
{
    showCounts = std::move(counts);
    clear();
    recorded = traced = true;
    own = std::move(run);
    ownShapesLeftOut = shapesLeftOut;
    trace = own->trace();
    if (trace.calls() > 0) {
        auto lines = std::make_unique<RecordedLines>(*own, false);
        calls->setOwnLines(lines.get());
        order = std::move(lines);
    }
    snapshots.push_back({0, 0, picture->picture()});
}

std::function<void(qsizetype)> FigureCalls::rewinder()
{
    if (!recorded)
        return {};
    return [this](qsizetype last) { rewind(last); };
}

// Keeps a picture each time the shapes pass the next multiple of the distance between them.
void FigureCalls::paint(qsizetype first, qsizetype last)
{
    const auto &steps = record.steps();
    while (recorded && first < last) {
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
    partial = 0;
}

void FigureCalls::follow(qsizetype last)
{
    if (!traced)
        return;
    if (last == qsizetype(record.steps().size()))
        calls->showFinished();
    else
        calls->showCall(trace.stepCall(last - 1));
}

void FigureCalls::clear()
{
    forget();
    calls->showNoCalls();
}

// While the window is open, the memory of the record and the calls stays for the
// next figure: taking tens of megabytes afresh from the system takes longer than drawing.
void FigureCalls::forget()
{
    unfolding->stop();
    recorded = traced = false;
    calls->setOwnLines(nullptr);
    order.reset();
    own.reset();
    counter.trace = nullptr;
    snapshots.clear();
    if (isOpen()) {
        record.restart();
        trace.restart();
    } else {
        record.clear();
        trace.clear();
    }
}

void FigureCalls::goToShapeAt(QPointF point)
{
    constexpr double reach = 3; // pixels from a stroke that still count as on it
    if (!traced)
        return;
    const qsizetype step = record.lastStepNear(shapesShown(), picture->userScale(),
                                               picture->sideLength(), point, reach);
    if (step >= 0 && step < trace.steps()) {
        choose(trace.stepCall(step));
        calls->centreCurrent(); // the node of the call in the middle of the drawn tree
    }
}

// The canvas shows the steps the unfolding has shown, each painted at once, and the
// shapes of the next one drawn line by line.
qint64 FigureCalls::shapesShown() const
{
    return recorded ? record.shapesUpTo(unfolding->shownSteps()) + partial : 0;
}

void FigureCalls::replayShown(Canvas &canvas) const
{
    record.replayShapes(0, shapesShown(), canvas);
}

void FigureCalls::repaint()
{
    if (!recorded)
        return;
    const qint64 shapes = shapesShown();
    snapshots = {{0, 0, picture->picture()}};
    paint(0, unfolding->shownSteps());
    record.replayShapes(record.shapesUpTo(unfolding->shownSteps()), shapes, *picture);
    partial = shapes - record.shapesUpTo(unfolding->shownSteps());
}

// The canvas as it was before the figure, or at the latest picture kept within
// the steps, then the steps after it drawn again.
void FigureCalls::rewind(qsizetype last)
{
    restore(last);
    if (choosing || last == 0)
        return;
    const FigureRecord::Step &step = record.steps()[size_t(last - 1)];
    showMoment(last, step.call, step.depth, true);
}

void FigureCalls::restore(qsizetype last)
{
    const auto from = std::prev(std::upper_bound(
            snapshots.begin(), snapshots.end(), last,
            [](qsizetype steps, const Snapshot &snapshot) { return steps < snapshot.steps; }));
    picture->markFollowingShapes(false);
    picture->setPicture(from->picture);
    paint(from->steps, last);
}

// By lines, a call is gone to right after its drawing.
void FigureCalls::choose(qint32 call)
{
    if (!traced || call >= trace.calls())
        return;
    if (unfolding->pace() == Pace::Linewise) {
        lines->goTo(call);
        return;
    }
    const qsizetype steps = trace.stepsUpTo(call);
    choosing = true;
    unfolding->goTo(steps);
    choosing = false;
    showMoment(steps, call + 1, int(trace.path(call).size()), trace.drewAnything(call));
}

// The label and the window right after the call numbered so (the first being 1),
// with the steps up to it shown; the shapes of the last step marked when the call made it.
void FigureCalls::showMoment(qsizetype steps, qint64 number, int depth, bool drew)
{
    picture->markFollowingShapes(drew);
    if (drew)
        record.replay(steps - 1, steps, *picture); // the same pixels again, now marked
    if (showCounts)
        showCounts(number, depth, steps > 0 ? record.steps()[size_t(steps - 1)].end : 0);
    if (traced)
        calls->showCall(qint32(number - 1));
}

// The figure up to a line of one of its calls: the shapes drawn so far, the one a drawing
// line drew marked, and the counts and the window at that moment. A call draws before it
// calls, so the calls before the newest drew all their shapes.
qint64 FigureCalls::shapesAt(LinePlace place) const
{
    if (own) {
        const std::optional<LinePlace> next = order->next(place);
        return own->outputsUpTo((next ? next->step : own->events()) - 1).shapes - ownShapesLeftOut;
    }
    const auto &walk = static_cast<const LineWalk &>(*order);
    const qint32 newest = walk.newestCall(place);
    return newest == place.call
            ? record.shapesUpTo(trace.stepsUpTo(newest - 1)) + walk.outputsDone(place)
            : record.shapesUpTo(trace.stepsUpTo(newest));
}

void FigureCalls::showLine(LinePlace place)
{
    const LineOrder &walk = *order;
    const qint32 newest = walk.newestCall(place);
    const qint64 shapes = std::max<qint64>(shapesAt(place), 0);
    // The steps drawn whole by then.
    const auto &steps = record.steps();
    const qsizetype full = std::upper_bound(steps.begin(), steps.end(), shapes,
                                            [](qint64 drawn, const FigureRecord::Step &step) {
                                                return drawn < step.end;
                                            })
            - steps.begin();
    const qint64 onCanvas = shapesShown();
    qint64 from = onCanvas;
    picture->markFollowingShapes(false);
    if (shapes < onCanvas) {
        restore(full);
        from = record.shapesUpTo(full);
    } else if (full > unfolding->shownSteps()) {
        paint(unfolding->shownSteps(), full);
        from = record.shapesUpTo(full);
    }
    const bool drawing = walk.outputs(place) && shapes > 0;
    record.replayShapes(from, shapes - (drawing ? 1 : 0), *picture);
    if (drawing) {
        picture->markFollowingShapes(true);
        record.replayShapes(shapes - 1, shapes, *picture);
    }
    partial = shapes - record.shapesUpTo(full);
    unfolding->showedUpTo(full);
    if (showCounts)
        showCounts(newest + 1, int(trace.path(place.call).size()), shapes);
    if (own)
        calls->showOwnLine(place);
    else
        calls->showLine(place.call, walk.line(place), newest);
}
