#pragma once

#include "lineorder.h"

#include <QObject>

#include <functional>
#include <optional>

class CallTrace;
class CallsWindow;

// The pace "по строкам": a recursion whose calls were recorded is shown one line of its
// code at a time, the calls window open beside it. This keeps the place reached and
// takes the keys' moves from it; the program shows each place. The unfolding that
// steps it owns it.
class LineSteps : public QObject
{
    Q_OBJECT

public:
    // What the program does for the steps.
    struct Program
    {
        // The order of lines of the recursion now shown; null when its calls were not recorded.
        std::function<const LineOrder *()> order;
        // Shows the recursion up to this place: what it drew or wrote, the counts, the window.
        std::function<void(const LineOrder &order, LinePlace place)> show;
        // Goes to the moment right after this call at the pace of whole calls.
        std::function<void(qint32 call)> goToCall;
    };

    LineSteps(CallsWindow *window, const CallTrace &trace, Program program);

    CallsWindow *callsWindow() const { return window; }
    bool active() const { return place.has_value(); }
    // A recursion starts: shows its first line. Returns whether it steps by lines.
    bool begin();
    void forward();
    void back();
    void over();
    // Right after this call's drawing or writing, or at its return.
    void goTo(qint32 call);
    // From the pace of whole calls, at the call the window shows; once all is shown, at
    // the last line.
    bool enter();
    // To the pace of whole calls: the moment reached stays, the current call's drawing done.
    void leave();
    // No longer steps by lines.
    void end() { place.reset(); }

signals:
    // The last line was passed: the recursion is shown whole.
    void passedLast();

private:
    void showPlace(LinePlace at);
    void arrive(std::optional<LinePlace> next);

    CallsWindow *window;
    const CallTrace &trace;
    Program program;
    std::optional<LinePlace> place;
};
