#include "lessonview.h"

#include "callswindow.h"
#include "ownwindow.h"
#include "programscale.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {

constexpr int margin = 12; // around the surface's parts
constexpr int gap = 8;     // between them
// The calls window's text sizes in the view, in percent.
constexpr std::array<int, 10> textSteps{75, 80, 90, 100, 125, 150, 175, 200, 250, 300};
// The picture at least as large as the canvas at 100 %, and where the screen allows,
// about two thirds of its height.
constexpr int leastPicture = 393;
constexpr double wantedShare = 0.65;

} // namespace

LessonView::LessonView(QWidget *window, ProgramScale *scale, LessonParts parts)
    : QObject(window), window(window), scale(scale), parts(std::move(parts)),
      item(new QAction(QStringLiteral("Урок на весь экран"), window))
{
    item->setCheckable(true);
    item->setShortcut(QKeySequence(Qt::Key_F11));
    item->setShortcutContext(Qt::ApplicationShortcut); // in the calls window too
    window->addAction(item);
    connect(item, &QAction::toggled, this, [this](bool on) { on ? enter() : leave(); });
    window->installEventFilter(this);
}

// A window destroyed in the view takes the surface, and the calls window on it, along.
LessonView::~LessonView()
{
    delete surface;
}

void LessonView::enter()
{
    if (surface)
        return;
    calls = window->findChild<CallsWindow *>();
    own = window->findChild<OwnProcedureWindow *>();
    if (own) // its showing and hiding lay the view out again
        own->installEventFilter(this);
    QWidget *focus = QApplication::focusWidget();
    windowAt = window->pos();
    callsWereOpen = calls && calls->isVisible();
    QScreen *screen = window->screen();
    surface = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    surface->setWindowTitle(window->windowTitle());
    surface->setGeometry(screen->geometry());
    surface->installEventFilter(this);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setParent(surface, Qt::Widget);
    if (calls) {
        calls->setParent(surface, Qt::Widget);
        connect(calls->showAction(), &QAction::toggled, this, [this] {
            choosePercent();
            arrange();
        });
    }
    scale->setStepper([this](int by) { stepPercent(by); });
    choosePercent();
    arrange();
    window->show();
    if (calls)
        calls->setVisible(callsWereOpen);
    surface->showFullScreen();
    surface->activateWindow();
    if (focus)
        focus->setFocus();
    item->setChecked(true);
}

void LessonView::leave()
{
    if (!surface)
        return;
    QWidget *focus = QApplication::focusWidget();
    scale->setStepper({});
    if (own)
        own->removeEventFilter(this);
    if (calls)
        disconnect(calls->showAction(), nullptr, this, nullptr);
    window->setParent(nullptr, Qt::Window);
    window->move(windowAt);
    if (calls) // placed beside the window again once the scale has laid the window out
        calls->setParent(window, Qt::Window);
    scale->setPercent(scale->percent()); // the controls, fonts and canvas as they were
    window->show();
    if (calls)
        calls->setVisible(calls->showAction()->isChecked());
    std::exchange(surface, nullptr)->deleteLater();
    window->activateWindow();
    if (focus)
        focus->setFocus();
    item->setChecked(false);
}

bool LessonView::callsShown() const
{
    return calls && calls->showAction()->isChecked();
}

// The calls window's parts, or else the window "Своя процедура", take the right of the surface.
QRect LessonView::roomAt(int textPercent) const
{
    const QSize full = surface->size();
    int callsWidth = 0;
    if (callsShown()) {
        calls->setOwnScale(textPercent, QBoxLayout::TopToBottom);
        callsWidth = calls->minimumSizeHint().expandedTo(calls->minimumSize()).width() + margin;
    } else if (own && own->isVisible()) {
        callsWidth = own->minimumSizeHint().expandedTo(own->minimumSize()).width() + margin;
    }
    return {margin, margin, full.width() - callsWidth - 2 * margin, full.height() - 2 * margin};
}

// The largest text at which the picture keeps about two thirds of the screen's height,
// else at least the size of the canvas at 100 %.
void LessonView::choosePercent()
{
    if (!callsShown())
        return;
    const int wanted = int(surface->height() * wantedShare);
    for (int least : {wanted, leastPicture})
        for (auto step = textSteps.size(); step-- > 0;) // the largest text first
            if (pictureSide(roomAt(textSteps[step]), false) >= least) {
                percent = textSteps[step];
                return;
            }
    percent = textSteps.front();
}

// Ctrl++ and Ctrl+- within what leaves the picture at least as large as the canvas at 100 %;
// Ctrl+0 the text chosen on entering.
void LessonView::stepPercent(int by)
{
    if (by == 0) {
        choosePercent();
    } else {
        const auto at = std::find(textSteps.begin(), textSteps.end(), percent) - textSteps.begin();
        const auto next = std::clamp<qsizetype>(at + by, 0, textSteps.size() - 1);
        if (by < 0 || pictureSide(roomAt(textSteps[next]), false) >= leastPicture)
            percent = textSteps[next];
    }
    arrange();
}

void LessonView::arrange()
{
    QRect room = roomAt(percent);
    // A square picture limited by the height leaves the rest of the width to the calls' parts.
    room.setWidth(std::min(room.width(), usedWidth(room)));
    window->setGeometry(0, 0, room.right() + 1 + margin, surface->height());
    if (callsShown())
        calls->setGeometry(room.right() + 1 + margin, margin,
                           surface->width() - room.right() - 1 - 2 * margin, room.height());
    pictureSide(room, true);
    if (auto *own = window->findChild<OwnProcedureWindow *>(); own && own->isVisible())
        own->placeBeside();
}

// The size of each control's cell: the largest control's.
QSize LessonView::controlCell() const
{
    QSize cell;
    for (const QWidget *control : parts.controls)
        cell = cell.expandedTo(control->size());
    return cell;
}

// The width the picture and the rows of controls take of the room.
int LessonView::usedWidth(QRect room) const
{
    if (!parts.square || !callsShown())
        return room.width();
    const QSize cell = controlCell();
    const int columns = std::max(1, (room.width() + gap) / (cell.width() + gap));
    const int controlsWidth
            = int(std::min<qsizetype>(columns, parts.controls.size())) * (cell.width() + gap) - gap;
    return std::max(pictureSide(room, false), controlsWidth);
}

int LessonView::pictureSide(QRect room, bool place) const
{
    const QSize cell = controlCell();
    const int columns = std::max(1, (room.width() + gap) / (cell.width() + gap));
    const int rows = int(parts.controls.size() + columns - 1) / columns;
    const int titleHeight = parts.title ? parts.title->height() + gap : 0;
    const int notesHeight = parts.notes ? parts.notes->height() + gap : 0;
    const int height = room.height() - titleHeight - rows * (cell.height() + gap) - notesHeight;
    const QSize picture = parts.square ? QSize(1, 1) * std::min(room.width(), height)
                                       : QSize(room.width(), height);
    if (place) {
        int y = room.top();
        if (parts.title) {
            parts.title->setGeometry(room.left(), y, picture.width(), parts.title->height());
            y += titleHeight;
        }
        parts.resizePicture(picture);
        parts.picture->move(room.left(), y);
        y += picture.height() + gap;
        for (int i = 0; i < parts.controls.size(); ++i) { // each in the middle of its cell
            QWidget *control = parts.controls[i];
            control->move(room.left() + i % columns * (cell.width() + gap)
                                  + (cell.width() - control->width()) / 2,
                          y + i / columns * (cell.height() + gap)
                                  + (cell.height() - control->height()) / 2);
        }
        y += rows * (cell.height() + gap);
        if (parts.notes)
            parts.notes->setGeometry(room.left(), y, room.width(), parts.notes->height());
    }
    return std::min(picture.width(), picture.height());
}

// Closing the program from the view leaves it first, then closes the window.
bool LessonView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == own && surface
        && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        QMetaObject::invokeMethod(
                this,
                [this] {
                    if (surface)
                        arrange();
                },
                Qt::QueuedConnection);
    if (event->type() == QEvent::Close && surface && (watched == window || watched == surface)) {
        event->ignore();
        item->setChecked(false);
        QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
