#pragma once

#include "linewalk.h"

#include <QObject>

#include <functional>
#include <optional>

class CallTrace;
class CallsWindow;
class Unfolding;

// The pace "по строкам": a recursion whose calls were recorded is shown one line of its
// procedure at a time, the calls window open beside it. This keeps the place reached and
// takes the keys' moves from it; the program shows each place.
class LineSteps : public QObject
{
    Q_OBJECT

public:
    // What the program does for the steps.
    struct Program
    {
        // Whether the recursion now shown had its calls recorded.
        std::function<bool()> traced;
        // Shows the recursion up to this place: what it drew or wrote, the counts, the window.
        std::function<void(const LineWalk &walk, LinePlace place)> show;
        // Goes to the moment right after this call at the pace of whole calls.
        std::function<void(qint32 call)> goToCall;
    };

    LineSteps(Unfolding *unfolding, CallsWindow *window, const CallTrace &trace, Program program);

    bool active() const { return place.has_value(); }
    // A recursion starts: shows its first call's test. Returns whether it steps by lines.
    bool begin();
    void forward();
    void back();
    void over();
    // Right after this call's drawing or writing, or at its return.
    void goTo(qint32 call);
    // From the pace of whole calls, at the call the window shows; once all is shown, at
    // the first call's end.
    bool enter();
    // To the pace of whole calls: the moment reached stays, the current call's drawing done.
    void leave();
    // No longer steps by lines.
    void end() { place.reset(); }

private:
    LineWalk walk() const;
    void showPlace(LinePlace at);
    void arrive(std::optional<LinePlace> next);

    Unfolding *unfolding;
    CallsWindow *window;
    const CallTrace &trace;
    Program program;
    std::optional<LinePlace> place;
};
