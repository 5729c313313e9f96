#include "linesteps.h"

#include "callswindow.h"
#include "calltrace.h"

LineSteps::LineSteps(CallsWindow *window, const CallTrace &trace, Program program)
    : window(window), trace(trace), program(std::move(program))
{ }

void LineSteps::showPlace(LinePlace at)
{
    place = at;
    program.show(*program.order(), at);
}

bool LineSteps::begin()
{
    end();
    const LineOrder *order = program.order();
    if (!order)
        return false;
    showPlace(order->first());
    return true;
}

void LineSteps::forward()
{
    if (place)
        arrive(program.order()->next(*place));
}

void LineSteps::over()
{
    if (place)
        arrive(program.order()->over(*place));
}

// Past the last line the recursion is finished, as Esc finishes it.
void LineSteps::arrive(std::optional<LinePlace> next)
{
    if (next)
        showPlace(*next);
    else
        emit passedLast();
}

void LineSteps::back()
{
    if (!place)
        return;
    if (const auto before = program.order()->previous(*place))
        showPlace(*before);
}

void LineSteps::goTo(qint32 call)
{
    showPlace(program.order()->afterOutput(call));
}

bool LineSteps::enter()
{
    const LineOrder *order = program.order();
    if (!order || trace.calls() == 0)
        return false;
    const qint32 call = window->currentCall();
    if (call < 0)
        return false;
    showPlace(call >= trace.calls() ? order->last() : order->afterOutput(call));
    return true;
}

// The newest call made, once its drawing is done: nothing shown is taken back.
void LineSteps::leave()
{
    if (!place)
        return;
    const qint32 newest = program.order()->newestCall(*place);
    end();
    program.goToCall(newest);
}
