#include "callswindow.h"

#include "callmodels.h"
#include "callsplace.h"
#include "calltrace.h"
#include "calltreepicture.h"
#include "ownwindow.h"
#include "procedurepart.h"
#include "programscale.h"
#include "recordedlines.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A part's name, shown over it.
QLabel *caption(const QString &name, QWidget *part)
{
    auto *label = new QLabel(name);
    label->setBuddy(part);
    return label;
}

// A figure of at most so many calls keeps its whole tree expanded.
constexpr qint32 largestWholeTree = 1000;
// The stack and the tree show at least so many rows.
constexpr int rowsShown = 5;
// The window's width at 100 %, where there is room.
constexpr int usualWidth = 480;
} // namespace

CallsWindow::CallsWindow(const CallTrace &trace, const QString &emptyText, bool withTree,
                         QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool), heading(new QLabel(this)), stack(new QListView(this)),
      procedure(new ProcedurePart(this)), trace(trace), emptyText(emptyText),
      mainWindow(mainWindow), action(new QAction(QStringLiteral("Показать вызовы"), mainWindow)),
      drawnFace(new QAction(QStringLiteral("Дерево рисунком"), mainWindow)),
      stackModel(new CallStackModel(trace, this)), pages(new QStackedWidget(this))
{
    setWindowTitle(QStringLiteral("Вызовы"));
    // Neither rows coming and going nor the heading's text resize the window.
    heading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    stack->setAccessibleName(QStringLiteral("Стек вызовов"));
    stack->setUniformItemSizes(true);
    stack->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stack->setModel(stackModel);
    // The views are on the second page; the first, empty, stands while there are no calls.
    // The stack and the tree stand over the procedure's text, or beside it.
    auto *views = new QWidget;
    parts = new QBoxLayout(QBoxLayout::TopToBottom, views);
    parts->setContentsMargins({});
    auto *layout = new QVBoxLayout;
    parts->addLayout(layout, 1);
    parts->addWidget(procedure);
    layout->addWidget(caption(QStringLiteral("Стек вызовов"), stack));
    layout->addWidget(stack, 1);
    connect(stack->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) { choose(stackModel->call(index.row())); });
    if (withTree)
        layout->addLayout(makeTreePart(), 2);
    pages->addWidget(new QWidget);
    pages->addWidget(views);
    auto *window = new QVBoxLayout(this);
    window->addWidget(heading);
    window->addWidget(pages, 1);
    setOwnScale(100, QBoxLayout::TopToBottom);
    showNoCalls();

    action->setCheckable(true);
    connect(action, &QAction::toggled, this, [this](bool on) {
        if (on && !isVisible() && isWindow() && !placeBeside()) {
            emit noRoomBeside(); // its parts join the program's window's in the lesson view
            if (isWindow()) {    // else it stays closed
                action->setChecked(false);
                return;
            }
        }
        setVisible(on);
    });
    // The program's window closing takes this one with it.
    mainWindow->installEventFilter(this);
    if (ProgramScale *scale = ProgramScale::of(mainWindow))
        connect(scale, &ProgramScale::changed, this, &CallsWindow::rescale);
}

void CallsWindow::showCall(qint32 call)
{
    showAt(call, call);
    showProcedure(call, 0);
    following = false;
}

void CallsWindow::showLine(qint32 call, int line, qint32 newest)
{
    showAt(call, newest);
    showProcedure(call, line);
    following = false;
}

void CallsWindow::setOwnLines(const RecordedLines *lines)
{
    ownLines = lines;
    if (lines)
        ownCode = ProcedureText::plain(u"Своя процедура %1"_qs.arg(qHash(lines->code())),
                                       lines->code());
}

void CallsWindow::showOwnLine(LinePlace place)
{
    showAt(place.call, ownLines->newestCall(place));
    const int line = ownLines->line(place);
    procedure->showLines(ownCode, {line}, ownLines->explain(place));
    following = false;
}

// The heading, stack and tree at a call; the calls after newest are grey. At the top
// level of the class's own code no call runs.
void CallsWindow::showAt(qint32 call, qint32 newest)
{
    following = true;
    current = call;
    heading->setText(call < 0 ? QStringLiteral("Программа: вызовов сделано %1 из %2")
                                        .arg(newest + 1)
                                        .arg(trace.calls())
                              : QStringLiteral("Вызов %1 из %2").arg(call + 1).arg(trace.calls()));
    pages->setCurrentIndex(1);
    stackModel->setPath(trace.path(call));
    const QModelIndex last = stackModel->index(stackModel->rowCount({}) - 1);
    stack->setCurrentIndex(last);
    stack->scrollTo(last);
    newestShown = newest;
    showDrawn();
    if (tree) {
        treeModel->reach(newest);
        treeModel->setCurrent(newest);
        const QModelIndex index = treeModel->indexOf(call);
        expandTree(index);
        tree->setCurrentIndex(index);
        tree->scrollTo(index);
        tree->viewport()->update();
    }
}

void CallsWindow::showFinished()
{
    following = true;
    current = trace.calls();
    heading->setText(QStringLiteral("Все вызовы закончены: %1").arg(trace.calls()));
    pages->setCurrentIndex(1);
    stackModel->setPath({});
    showDrawn();
    if (tree) {
        treeModel->reach(trace.calls() - 1);
        treeModel->setCurrent(trace.calls());
        tree->selectionModel()->clear();
        if (trace.calls() <= largestWholeTree)
            tree->expandAll();
        else
            tree->expand(treeModel->indexOf(0));
        tree->viewport()->update();
    }
    procedure->showLines(ownLines ? ownCode : ProcedureText::named(trace.procedureName()), {}, {});
    following = false;
}

void CallsWindow::showNoCalls()
{
    following = true;
    current = -1;
    heading->setText(emptyText);
    stackModel->setPath({});
    pages->setCurrentIndex(0);
    if (tree) {
        treeModel->clear();
        picture->reset();
    }
    procedure->clear();
    following = false;
}

// A small figure's tree all open, so that every stopping call is in view; a larger
// one's open along the way to the current call.
void CallsWindow::expandTree(const QModelIndex &current)
{
    if (trace.calls() <= largestWholeTree) {
        tree->expandAll();
        return;
    }
    for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
        tree->expand(up);
}

// The call's procedure with the line given highlighted, or else the lines the whole
// call ran: what it drew or wrote, or the return it stopped at.
void CallsWindow::showProcedure(qint32 call, int line)
{
    if (ownLines) { // at the line of its last drawing or writing, or its last line
        const LinePlace place = ownLines->afterOutput(call);
        procedure->showLines(ownCode, {ownLines->line(place)}, ownLines->explain(place));
        return;
    }
    const ProcedureText &text = ProcedureText::named(trace.procedureName());
    CallFacts facts = callFacts ? callFacts(call) : CallFacts();
    facts.call = trace.text(call);
    facts.arguments = trace.arguments(call);
    facts.stopped = !trace.drewAnything(call) || text.stops(facts.arguments);
    for (qint32 child = trace.firstChild(call); child >= 0; child = trace.nextSibling(child))
        facts.calls << trace.text(child);
    const QList<int> lines = line > 0 ? QList<int>{line} : text.callLevelLines(facts.stopped);
    procedure->showLines(text, lines, lines.isEmpty() ? QString() : text.explain(lines[0], facts));
}

// Once the view has finished with the click or key: going to the call rebuilds its rows.
void CallsWindow::choose(qint32 call)
{
    if (!following && call >= 0 && call != current)
        QMetaObject::invokeMethod(
                this, [this, call] { emit callChosen(call); }, Qt::QueuedConnection);
}

void CallsWindow::setOwnScale(int percent, QBoxLayout::Direction direction)
{
    own = percent;
    ProgramScale::setScaledFont(this, percent);
    procedure->setPercent(percent);
    const int rowsHeight = rowsShown * (fontMetrics().height() + 6) + 4;
    stack->setMinimumHeight(rowsHeight);
    if (tree)
        faces->setMinimumHeight(rowsHeight);
    parts->setDirection(direction);
    setMinimumSize(QSize(240, 200) * percent / 100);
    // The least size at once, not at the next layout request: the parts' own layout first.
    parts->activate();
    parts->parentWidget()->updateGeometry();
    pages->updateGeometry();
    layout()->activate();
}

// The tree of calls as an indented list, or drawn ("Рисунком"), under a heading with the toggle
// and, for the drawn face, the count of repeated calls.
QBoxLayout *CallsWindow::makeTreePart()
{
    tree = new QTreeView(this);
    treeModel = new CallTreeModel(trace, this);
    tree->setAccessibleName(QStringLiteral("Дерево вызовов"));
    tree->setUniformRowHeights(true);
    tree->setHeaderHidden(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setModel(treeModel);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) { choose(CallTreeModel::call(index)); });
    picture = new CallTreePicture(trace, this);
    connect(picture, &CallTreePicture::callChosen, this, &CallsWindow::choose);
    repeats = new QLabel(this);
    connect(picture, &CallTreePicture::repeatsCounted, repeats, [this](qint32 count) {
        repeats->setText(count > 0 ? QStringLiteral("повторных вызовов: %1")
                                             .arg(QLocale(QLocale::Russian).toString(count))
                                   : QString());
    });
    faces = new QStackedWidget(this);
    faces->addWidget(tree);
    faces->addWidget(picture);
    drawnFace->setCheckable(true);
    drawnFace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    addAction(drawnFace); // the key in this window and in the program's
    mainWindow->addAction(drawnFace);
    auto *toggle = new QToolButton(this);
    toggle->setDefaultAction(drawnFace);
    drawnFace->setIconText(QStringLiteral("Рисунком")); // the toggle's text
    toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(drawnFace, &QAction::toggled, this, [this](bool drawn) {
        faces->setCurrentIndex(drawn ? 1 : 0);
        repeats->setVisible(drawn);
        if (drawn)
            showDrawn();
    });
    repeats->hide();
    auto *heading = new QHBoxLayout;
    heading->addWidget(caption(QStringLiteral("Дерево вызовов"), faces), 1);
    heading->addWidget(repeats);
    heading->addWidget(toggle);
    auto *part = new QVBoxLayout;
    part->addLayout(heading);
    part->addWidget(faces, 1);
    return part;
}

void CallsWindow::centreCurrent()
{
    if (picture)
        picture->centreOn(current);
}

// The drawn tree at the moment the window shows.
void CallsWindow::showDrawn()
{
    if (!picture || faces->currentIndex() != 1)
        return;
    if (current >= trace.calls())
        picture->showMoment(trace.calls() - 1, -1, true);
    else
        picture->showMoment(newestShown, current, false);
}

// Beside the program's window and "Своя процедура", never over them; see findCallsPlace.
bool CallsWindow::placeBeside()
{
    // Before it is first shown the window's frame is taken to be as the program's window's.
    const QWidget *framed = isVisible() ? static_cast<const QWidget *>(this) : mainWindow;
    const QSize frame = framed->frameGeometry().size() - framed->size();
    const QRect main = mainWindow->frameGeometry();
    QRect taken = main;
    QList<QWidget *> beside;
    for (QWidget *own : mainWindow->findChildren<OwnProcedureWindow *>())
        if (own->isWindow() && own->isVisible()) {
            taken |= own->frameGeometry();
            beside << own;
        }
    const ProgramScale *scale = ProgramScale::of(mainWindow);
    const CallsPlace place = findCallsPlace(
            mainWindow->screen()->availableGeometry(), main, taken, scale ? scale->percent() : 100,
            {usualWidth, 0}, [this, frame](int percent, auto direction) {
                setOwnScale(percent, direction);
                return minimumSizeHint().expandedTo(minimumSize()) + frame;
            });
    if (!place.found())
        return false;
    beside << mainWindow;
    for (QWidget *window : beside)
        window->move(window->pos() + place.shift);
    setOwnScale(place.percent, place.direction);
    move(place.frame.topLeft());
    resize(place.frame.size() - frame);
    return true;
}

// The texts and rows at the program's scale, the window beside the program's window again,
// the current rows in view, once the program's window has its new size. In the lesson
// view the view sizes the parts.
void CallsWindow::rescale()
{
    QMetaObject::invokeMethod(
            this,
            [this] {
                if (!isWindow())
                    return;
                const ProgramScale *scale = ProgramScale::of(mainWindow);
                if (isVisible() && !placeBeside())
                    emit noRoomBeside();
                else if (!isVisible() && scale)
                    setOwnScale(scale->percent(), QBoxLayout::TopToBottom);
                QMetaObject::invokeMethod(this, &CallsWindow::keepCurrentInView,
                                          Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
}

// Once the views have their new size.
void CallsWindow::keepCurrentInView()
{
    stack->scrollTo(stack->currentIndex());
    if (tree)
        tree->scrollTo(tree->currentIndex());
}

void CallsWindow::closeEvent(QCloseEvent *event)
{
    action->setChecked(false);
    QWidget::closeEvent(event);
}

bool CallsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mainWindow && event->type() == QEvent::Close)
        close();
    return QWidget::eventFilter(watched, event);
}
