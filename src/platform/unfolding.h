#pragma once

#include <QActionGroup>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class LineSteps;
class QWidget;

// How fast a recursion that has run in full is shown to the class.
enum class Pace { AtOnce, Fast, Slow, Stepwise, Linewise };

// Shows what a recursion recorded, one call's drawing or writing at a time,
// at the pace the user chose: a timer moves it on, or a step key. The window
// hands it the number of steps and how to show a run of them.
//
// While something unfolds, Space and Right arrow take the next step at the
// step-by-step pace (Space then never presses the focused button), and Esc
// shows all the rest at once. Once the last step or Esc has shown all, Space and
// Right still do nothing where those keys were pressed, until the focus moves.
// Where the window can rewind, Left arrow and Backspace step back at the
// step-by-step pace, and any earlier step can be gone to. At the line-by-line
// pace the same keys move by lines, Shift+Space and Shift+Right step over.
// Keys count in the window and in the windows added with watchKeysIn.
class Unfolding : public QObject
{
    Q_OBJECT

public:
    // verb begins the pace items: "Рисовать" gives "Рисовать сразу", ...
    Unfolding(QWidget *window, const QString &verb);
    ~Unfolding() override;

    // The five pace items, exactly one checked, "сразу" at the start.
    QList<QAction *> paceActions() const { return paces->actions(); }
    Pace pace() const { return pace_; }
    bool running() const;
    qsizetype shownSteps() const { return shown; }

    // Starts showing steps 0 ... steps - 1: the first at once, the rest at the pace.
    // show(first, last) shows steps first ... last - 1; rewind(last), when given,
    // shows steps 0 ... last - 1 alone again, and stays usable after the last step.
    void start(qsizetype steps, std::function<void(qsizetype first, qsizetype last)> show,
               std::function<void(qsizetype last)> rewind = {});
    // Shows steps 0 ... last - 1, then goes on at the pace.
    void goTo(qsizetype last);
    void watchKeysIn(QWidget *otherWindow);
    // From now on only forward: what was shown may no longer be taken back.
    void forgetRewind() { rewind = {}; }
    // What steps the recursion by lines, at the pace "по строкам", now the unfolding's own.
    // The lines are read in its calls window: the window opens with the pace, and closing
    // it takes the pace away.
    void setLineSteps(LineSteps *steps);
    // The window itself showed steps 0 ... last - 1, and part of the next, line by line.
    void showedUpTo(qsizetype last) { shown = last; }

signals:
    // The pace is now this one, chosen by the user or set by the program.
    void paceChanged(Pace pace);

public slots:
    void setPace(Pace pace);
    void step();   // the next step, at the step-by-step pace
    void finish(); // all the steps left, at once
    void stop();   // none of the steps left

    // The last step shown taken back, at the step-by-step pace.
    void stepBack();
    // Past the rest of the call, or the call a call line makes, at the line-by-line pace.
    void stepOver();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showUpTo(qsizetype last, bool always = false);
    void keepPace();
    bool watches(QWidget *widget) const;

    bool canRewind() const { return rewind && total > 0; }
    bool byLines() const;
    bool stepping() const { return pace_ == Pace::Stepwise || pace_ == Pace::Linewise; }

    QWidget *window;
    QList<QWidget *> otherWindows;
    QActionGroup *paces;
    QTimer timer;
    Pace pace_ = Pace::AtOnce;
    qsizetype shown = 0;
    qsizetype total = 0;
    std::function<void(qsizetype, qsizetype)> show;
    std::function<void(qsizetype)> rewind;
    LineSteps *lines = nullptr;
    // Where the keys that stepped or finished were pressed, until the focus moves.
    QPointer<QWidget> steppedIn;
};
