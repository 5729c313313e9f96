#include "linesteps.h"

#include "callswindow.h"
#include "calltrace.h"
#include "unfolding.h"

#include <QAction>

LineSteps::LineSteps(Unfolding *unfolding, CallsWindow *window, const CallTrace &trace,
                     Program program)
    : QObject(unfolding), unfolding(unfolding), window(window), trace(trace),
      program(std::move(program))
{
    unfolding->setLineSteps(this);
    // The lines are read in the calls window: it opens with the pace and takes it away.
    connect(unfolding, &Unfolding::paceChanged, this, [this](Pace pace) {
        if (pace == Pace::Linewise)
            this->window->showAction()->setChecked(true);
    });
    connect(window->showAction(), &QAction::toggled, this, [this](bool open) {
        if (!open && this->unfolding->pace() == Pace::Linewise)
            this->unfolding->setPace(Pace::Stepwise);
    });
}

LineWalk LineSteps::walk() const
{
    return LineWalk(trace, ProcedureText::named(trace.procedureName()));
}

void LineSteps::showPlace(LinePlace at)
{
    place = at;
    program.show(walk(), at);
}

bool LineSteps::begin()
{
    end();
    if (!program.traced())
        return false;
    showPlace(LineWalk::first());
    return true;
}

void LineSteps::forward()
{
    if (place)
        arrive(walk().next(*place));
}

void LineSteps::over()
{
    if (place)
        arrive(walk().over(*place));
}

// Past the first call's end the recursion is finished, as Esc finishes it.
void LineSteps::arrive(std::optional<LinePlace> next)
{
    if (next)
        showPlace(*next);
    else
        unfolding->finish();
}

void LineSteps::back()
{
    if (!place)
        return;
    if (const auto before = walk().previous(*place))
        showPlace(*before);
}

void LineSteps::goTo(qint32 call)
{
    showPlace(walk().afterOutput(call));
}

bool LineSteps::enter()
{
    if (!program.traced() || trace.calls() == 0)
        return false;
    const qint32 call = window->currentCall();
    if (call < 0)
        return false;
    showPlace(call >= trace.calls() ? walk().last() : walk().afterOutput(call));
    return true;
}

// The newest call made, once its drawing is done: nothing shown is taken back.
void LineSteps::leave()
{
    if (!place)
        return;
    const qint32 newest = walk().newestCall(*place);
    end();
    program.goToCall(newest);
}
