#include "programscale.h"

#include "scaledstyle.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

void ProgramScale::setScaledFont(QWidget *widget, int percent)
{
    if (percent == 100) {
        if (widget->testAttribute(Qt::WA_SetFont))
            widget->setFont(QFont());
        return;
    }
    QFont font = QApplication::font(widget);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * percent / 100);
    else
        font.setPixelSize(font.pixelSize() * percent / 100);
    widget->setFont(font);
}

ProgramScale::ProgramScale(QWidget *window, QSize twips)
    : QObject(window), window(window), twips(twips),
      larger(new QAction(QStringLiteral("Крупнее"), window)),
      smaller(new QAction(QStringLiteral("Мельче"), window)),
      normal(new QAction(QStringLiteral("Обычный размер"), window))
{
    larger->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    smaller->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    normal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    for (QAction *action : actions())
        action->setShortcutContext(Qt::ApplicationShortcut); // the calls window's keys too
    window->addActions(actions());
    connect(larger, &QAction::triggered, this, [this] { stepBy(1); });
    connect(smaller, &QAction::triggered, this, [this] { stepBy(-1); });
    connect(normal, &QAction::triggered, this,
            [this] { stepInstead ? stepInstead(0) : setPercent(100); });
    window->setFixedSize(fromTwips(QRect(QPoint(), twips), percent_).size());
    window->installEventFilter(this);
    ScaledStyle::apply(percent_);
    updateItems();
}

ProgramScale *ProgramScale::of(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto *scale = widget->findChild<ProgramScale *>(QString(), Qt::FindDirectChildrenOnly))
            return scale;
    return nullptr;
}

QRect ProgramScale::fromTwips(QRect twips, int percent)
{
    const int perPixel = twipsPerPixel * 100;
    return {twips.x() * percent / perPixel, twips.y() * percent / perPixel,
            twips.width() * percent / perPixel, twips.height() * percent / perPixel};
}

void ProgramScale::enlarge(QWidget *window, const QWidget *within)
{
    const ProgramScale *scale = of(within);
    setScaledFont(window, scale ? scale->percent() : 100);
}

void ProgramScale::place(QWidget *control, QRect twips, double points, bool bold)
{
    placements.append({control, twips, points, bold});
    apply(placements.constLast());
}

void ProgramScale::apply(const Placement &placement) const
{
    if (!placement.control)
        return;
    placement.control->setGeometry(fromTwips(placement.twips, percent_));
    if (placement.points > 0)
        placement.control->setFont(formFont(placement.points * percent_ / 100, placement.bold));
    else
        setScaledFont(placement.control, percent_);
}

int ProgramScale::largestFitting() const
{
    const QSize frame = window->frameGeometry().size() - window->size();
    const QSize area = window->screen()->availableGeometry().size();
    const auto fits = std::find_if(steps.rbegin(), steps.rend(), [&](int step) {
        const QSize size = fromTwips(QRect(QPoint(), twips), step).size() + frame;
        return size.width() <= area.width() && size.height() <= area.height();
    });
    return fits != steps.rend() ? *fits : steps.front();
}

void ProgramScale::setPercent(int percent)
{
    percent_ = std::clamp(percent, steps.front(), steps.back());
    window->setFixedSize(fromTwips(QRect(QPoint(), twips), percent_).size());
    for (const Placement &placement : std::as_const(placements))
        apply(placement);
    for (QMenu *menu : window->findChildren<QMenu *>())
        setScaledFont(menu, percent_);
    ScaledStyle::apply(percent_);
    keepOnScreen();
    updateItems();
    emit changed(percent_);
}

void ProgramScale::setStepper(std::function<void(int by)> stepper)
{
    stepInstead = std::move(stepper);
    updateItems();
}

void ProgramScale::stepBy(int by)
{
    if (stepInstead) {
        stepInstead(by);
        return;
    }
    const auto at = std::find(steps.begin(), steps.end(), percent_) - steps.begin();
    const auto next = std::clamp<qsizetype>(at + by, 0, steps.size() - 1);
    if (steps[next] <= largestFitting())
        setPercent(steps[next]);
}

// A window grown past the edge of the screen's available area is moved back inside it.
void ProgramScale::keepOnScreen()
{
    if (!window->isVisible())
        return;
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    window->move(std::clamp(frame.left(), area.left(),
                            std::max(area.left(), area.right() + 1 - frame.width())),
                 std::clamp(frame.top(), area.top(),
                            std::max(area.top(), area.bottom() + 1 - frame.height())));
}

void ProgramScale::updateItems()
{
    larger->setEnabled(stepInstead || percent_ < largestFitting());
    smaller->setEnabled(stepInstead || percent_ > steps.front());
    normal->setEnabled(stepInstead || percent_ != steps.front());
}

// Whether the window may grow depends on the screen it is on.
bool ProgramScale::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Show) {
        updateItems();
        if (QWindow *handle = window->windowHandle())
            connect(handle, &QWindow::screenChanged, this, &ProgramScale::updateItems,
                    Qt::UniqueConnection);
    }
    return QObject::eventFilter(watched, event);
}
