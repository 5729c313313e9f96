#include "unfolding.h"

#include "callswindow.h"
#include "linesteps.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
// Milliseconds between two steps at the timed paces.
constexpr int fastInterval = 50;
constexpr int slowInterval = 500;
} // namespace

Unfolding::Unfolding(QWidget *window, const QString &verb)
    : QObject(window), window(window), paces(new QActionGroup(this))
{
    const std::pair<Pace, const char16_t *> items[] = {{Pace::AtOnce, u"сразу"},
                                                       {Pace::Fast, u"быстро"},
                                                       {Pace::Slow, u"медленно"},
                                                       {Pace::Stepwise, u"по шагам"},
                                                       {Pace::Linewise, u"по строкам"}};
    for (const auto &[pace, adverb] : items) {
        QAction *action = paces->addAction(verb + u' ' + QString::fromUtf16(adverb));
        action->setCheckable(true);
        action->setChecked(pace == Pace::AtOnce);
        connect(action, &QAction::triggered, this, [this, pace = pace] { setPace(pace); });
    }
    connect(&timer, &QTimer::timeout, this, [this] { showUpTo(shown + 1); });
    connect(qApp, &QApplication::focusChanged, this, [this] { steppedIn = nullptr; });
    qApp->installEventFilter(this);
}

Unfolding::~Unfolding()
{
    qApp->removeEventFilter(this);
}

void Unfolding::setLineSteps(LineSteps *steps)
{
    lines = steps;
    lines->setParent(this);
    QAction *shown = lines->callsWindow()->showAction();
    connect(this, &Unfolding::paceChanged, shown, [shown](Pace pace) {
        if (pace == Pace::Linewise)
            shown->setChecked(true);
    });
    connect(shown, &QAction::toggled, this, [this](bool open) {
        if (!open && pace_ == Pace::Linewise)
            setPace(Pace::Stepwise);
    });
    connect(lines, &LineSteps::passedLast, this, &Unfolding::finish);
}

void Unfolding::start(qsizetype steps, std::function<void(qsizetype, qsizetype)> showSteps,
                      std::function<void(qsizetype)> rewindSteps)
{
    show = std::move(showSteps);
    rewind = std::move(rewindSteps);
    shown = 0;
    total = steps;
    if (lines)
        lines->end();
    if (pace_ != Pace::Linewise || !lines || !lines->begin())
        showUpTo(pace_ == Pace::AtOnce ? total : 1);
    keepPace();
}

bool Unfolding::byLines() const
{
    return pace_ == Pace::Linewise && lines && lines->active();
}

bool Unfolding::running() const
{
    return shown < total || byLines();
}

// Leaving the lines keeps the moment reached; coming to them in the middle of a
// recursion whose calls were not recorded shows it whole, and the next one steps by lines.
void Unfolding::setPace(Pace pace)
{
    const bool wasByLines = byLines();
    pace_ = pace;
    paces->actions().at(int(pace))->setChecked(true);
    if (wasByLines && pace != Pace::Linewise)
        lines->leave();
    emit paceChanged(pace);
    if (pace == Pace::AtOnce
        || (pace == Pace::Linewise && !wasByLines && running() && !(lines && lines->enter())))
        finish();
    keepPace();
}

void Unfolding::step()
{
    if (byLines())
        lines->forward();
    else if (running() && stepping())
        showUpTo(shown + 1);
}

void Unfolding::stepOver()
{
    if (byLines())
        lines->over();
}

void Unfolding::finish()
{
    const bool wasByLines = byLines();
    if (lines)
        lines->end();
    if (shown < total || wasByLines)
        showUpTo(total, true);
}

void Unfolding::stop()
{
    shown = total = 0;
    timer.stop();
    rewind = {};
    if (lines)
        lines->end();
}

void Unfolding::goTo(qsizetype last)
{
    last = std::clamp<qsizetype>(last, 0, total);
    if (last >= shown) {
        showUpTo(last);
    } else if (canRewind()) {
        shown = last;
        rewind(last);
    }
    keepPace();
}

// The first step stays: a figure or verse under way shows at least its first call.
// By lines, all shown is gone back into at its last line.
void Unfolding::stepBack()
{
    if (byLines()) {
        lines->back();
        return;
    }
    const bool intoLines
            = pace_ == Pace::Linewise && !running() && canRewind() && lines && lines->enter();
    if (!intoLines && stepping() && canRewind() && shown > 1)
        goTo(shown - 1);
}

void Unfolding::watchKeysIn(QWidget *otherWindow)
{
    otherWindows << otherWindow;
    connect(otherWindow, &QObject::destroyed, this,
            [this, otherWindow] { otherWindows.removeOne(otherWindow); });
}

void Unfolding::showUpTo(qsizetype last, bool always)
{
    const qsizetype first = shown;
    shown = std::min(last, total);
    if (shown == total)
        timer.stop();
    if (shown > first || total == 0 || always)
        show(first, shown);
}

// The timer runs at the timed paces while steps are left.
void Unfolding::keepPace()
{
    if (!running() || pace_ == Pace::AtOnce || stepping())
        timer.stop();
    else
        timer.start(pace_ == Pace::Fast ? fastInterval : slowInterval);
}

// Whether the widget is in the window or one of the other windows, also while they stand
// together on the lesson view's surface.
// A window of its own under the program's, as "Своя процедура" is, keeps its keys.
bool Unfolding::watches(QWidget *widget) const
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == window || otherWindows.contains(widget))
            return true;
        if (widget->isWindow())
            return false;
    }
    return false;
}

// A button is pressed by Space going down, so taking that key press is enough.
// Once all is shown, the keys that step back are taken where the window can rewind,
// and Space and Right where the steps were taken, so that one press too many neither
// starts nothing nor moves the focus to a button the next press would press.
bool Unfolding::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !watches(widget))
        return false;
    const auto *press = static_cast<QKeyEvent *>(event);
    const int key = press->key();
    const bool back = key == Qt::Key_Left || key == Qt::Key_Backspace;
    if (stepping() && back && (canRewind() || byLines())) {
        stepBack();
        return true;
    }
    if (!running())
        return (key == Qt::Key_Space || key == Qt::Key_Right) && widget == steppedIn;
    if (key == Qt::Key_Escape) {
        steppedIn = widget;
        finish();
        return true;
    }
    if (!stepping() || (key != Qt::Key_Space && key != Qt::Key_Right))
        return false;
    steppedIn = widget;
    if (byLines() && press->modifiers().testFlag(Qt::ShiftModifier))
        stepOver();
    else
        step();
    return true;
}
