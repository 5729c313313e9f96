#include "lessonview.h"

#include "callswindow.h"
#include "ownwindow.h"
#include "programscale.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <array>

namespace {

// How long after leaving the view a window manager may still frame the windows anew.
constexpr int settleMs = 1000;
constexpr int settleCheckMs = 50;

// The least size of a window's parts, whatever it is laid out in.
QSize least(const QWidget *widget)
{
    return widget->minimumSizeHint().expandedTo(widget->minimumSize());
}

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
    if (auto *calls = window->findChild<CallsWindow *>())
        connect(calls, &CallsWindow::noRoomBeside, this, [this, calls] { join(calls); });
}

// A window destroyed in the view: the calls window and "Своя процедура" go with it, and the
// surface once the window, which is going, has left it.
LessonView::~LessonView()
{
    if (!surface)
        return;
    // Half destroyed, they would still pass their last events through this filter.
    for (QObject *part : {static_cast<QObject *>(calls.data()), static_cast<QObject *>(own.data())})
        if (part)
            part->removeEventFilter(this);
    delete calls;
    delete own;
    surface->hide();
    surface->deleteLater();
}

void LessonView::enter()
{
    if (surface)
        return;
    calls = window->findChild<CallsWindow *>();
    own = window->findChild<OwnProcedureWindow *>();
    QWidget *focus = QApplication::focusWidget();
    const auto frameOf = [](const QWidget *part) {
        return part && part->isWindow() && part->isVisible() ? part->frameGeometry() : QRect();
    };
    windowFrame = window->frameGeometry();
    callsFrame = frameOf(calls);
    ownFrame = frameOf(own);
    callsSize = calls ? calls->size() : QSize();
    ownSize = own ? own->size() : QSize();
    callsPercent = calls ? calls->ownPercent() : 100;
    callsDirection = calls ? calls->ownDirection() : QBoxLayout::TopToBottom;
    ownPercent = own ? own->ownPercent() : 100;
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
        connect(calls->showAction(), &QAction::toggled, this, [this] { choose(); });
    }
    if (own) { // shown on the surface, or about to be; its showing and hiding lay the view out
        own->setParent(surface, Qt::Widget);
        own->setVisible(!ownFrame.isNull());
        own->installEventFilter(this);
    }
    scale->setStepper([this](int by) { stepPercent(by); });
    window->show();
    if (calls)
        calls->setVisible(callsShown());
    choose();
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
    const bool ownOpen = ownShown();
    window->setParent(nullptr, Qt::Window);
    window->move(windowFrame.topLeft());
    if (calls)
        calls->setParent(window, Qt::Tool);
    if (own)
        own->setParent(window, Qt::Tool);
    scale->setPercent(scale->percent()); // the controls, fonts and canvas as they were
    window->show();
    // Checked again and again: the frame's size may be known only after the window has moved.
    settling = true;
    auto *checks = new QTimer(this);
    connect(checks, &QTimer::timeout, this, &LessonView::settle);
    checks->start(settleCheckMs);
    QTimer::singleShot(settleMs, this, [this, checks] {
        settling = false;
        delete checks;
    });
    // After the calls window's own placing at the scale: each window where it stood, and
    // one opened in the view beside the program's window where there is room.
    QMetaObject::invokeMethod(
            this,
            [this, ownOpen] {
                if (calls && !callsFrame.isNull()) {
                    calls->setOwnScale(callsPercent, callsDirection);
                    calls->move(callsFrame.topLeft());
                    calls->resize(callsSize);
                }
                if (calls)
                    calls->setVisible(callsShown()
                                      && (!callsFrame.isNull() || calls->placeBeside()));
                if (calls && !calls->isVisible())
                    calls->showAction()->setChecked(false);
                if (own && !ownFrame.isNull()) {
                    own->setOwnScale(ownPercent);
                    own->move(ownFrame.topLeft());
                    own->resize(ownSize);
                }
                if (own)
                    own->setVisible(ownOpen && (!ownFrame.isNull() || own->placeBeside()));
                settle();
            },
            Qt::QueuedConnection);
    for (QWidget *part : {window, static_cast<QWidget *>(calls), static_cast<QWidget *>(own)})
        if (part)
            part->installEventFilter(this);
    std::exchange(surface, nullptr)->deleteLater();
    window->activateWindow();
    if (focus)
        focus->setFocus();
    item->setChecked(false);
}

// A window opened where there is no room for it beside the program's window joins the view;
// one that the view, just left, leaves without room stays closed.
void LessonView::join(QWidget *part)
{
    if (surface)
        return;
    if (!settling) {
        enter();
        return;
    }
    if (part == calls)
        calls->showAction()->setChecked(false);
    else
        part->hide();
}

// Each window where its frame stood before the view: a window manager frames the windows
// anew after they are shown, and may move them as it does.
void LessonView::settle()
{
    if (surface)
        return;
    const std::array<std::pair<QWidget *, QRect>, 3> before{
            {{window, windowFrame}, {calls, callsFrame}, {own, ownFrame}}};
    for (const auto &[part, frame] : before)
        if (part && part->isWindow() && part->isVisible() && !frame.isNull()
            && part->frameGeometry().topLeft() != frame.topLeft())
            part->move(frame.topLeft());
}

bool LessonView::callsShown() const
{
    return calls && calls->showAction()->isChecked();
}

bool LessonView::ownShown() const
{
    return own && !own->isHidden();
}

LessonMeasures LessonView::measures() const
{
    LessonMeasures measures;
    measures.screen = surface->size();
    measures.titleHeight = parts.title ? parts.title->height() : 0;
    measures.square = parts.square;
    for (const QWidget *control : parts.controls)
        measures.cell = measures.cell.expandedTo(control->size());
    measures.controls = int(parts.controls.size());
    measures.notesHeight = parts.notes ? parts.notes->height() : 0;
    if (callsShown())
        measures.callsLeast = [calls = calls.data()](int percent, auto direction) {
            calls->setOwnScale(percent, direction);
            return least(calls);
        };
    if (ownShown())
        measures.ownLeast = [own = own.data()](int percent) {
            own->setOwnScale(percent);
            return least(own);
        };
    return measures;
}

// The largest text that fits (also Ctrl+0), on entering and as the parts come and go.
void LessonView::choose()
{
    if (!surface)
        return;
    const LessonLayout layout = largestLessonText(measures());
    percent = layout.percent;
    apply(layout);
}

// Ctrl++ and Ctrl+- within what leaves the picture at least as large as the canvas at 100 %
// and every part whole; Ctrl+0 the text chosen on entering.
void LessonView::stepPercent(int by)
{
    if (by == 0) {
        choose();
        return;
    }
    const LessonLayout layout = stepLessonText(measures(), percent, by);
    percent = layout.percent;
    apply(layout);
}

void LessonView::apply(const LessonLayout &layout)
{
    window->setGeometry(layout.window);
    if (parts.title)
        parts.title->setGeometry(layout.title);
    parts.resizePicture(layout.picture.size());
    parts.picture->move(layout.picture.topLeft());
    for (int i = 0; i < parts.controls.size(); ++i) { // each in the middle of its cell
        QWidget *control = parts.controls[i];
        const QRect cell = layout.controls[i];
        control->move(cell.center() - control->rect().center());
    }
    if (parts.notes)
        parts.notes->setGeometry(layout.notes);
    if (callsShown()) {
        calls->setOwnScale(layout.percent, layout.direction);
        calls->setGeometry(layout.calls);
    }
    if (ownShown()) {
        own->setOwnScale(layout.percent);
        own->setGeometry(layout.own);
    }
}

bool LessonView::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    // The type first: a window being destroyed is no longer the one the pointer names.
    if ((type == QEvent::Show || type == QEvent::Hide) && surface && watched == own)
        QMetaObject::invokeMethod(this, &LessonView::choose, Qt::QueuedConnection);
    if (settling && !surface && (type == QEvent::Move || type == QEvent::Show))
        settle();
    // Closing the program from the view leaves it first, then closes the window.
    if (type == QEvent::Close && surface && (watched == window || watched == surface)) {
        event->ignore();
        item->setChecked(false);
        QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
