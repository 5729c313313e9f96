#include "callswindow.h"

#include "calltrace.h"
#include "procedurepart.h"
#include "programscale.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QStackedWidget>
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

// A larger advance of the calls reached rebuilds the tree rather than adding its rows.
constexpr qint32 largestStepInPlace = 64;
} // namespace

// The calls waiting at the current call, the first at the top, each but the
// last with the call it waits on.
class CallStackModel : public QAbstractListModel
{
public:
    explicit CallStackModel(const CallTrace &trace, QObject *parent)
        : QAbstractListModel(parent), trace(trace)
    { }

    void setPath(QList<qint32> calls)
    {
        beginResetModel();
        path = std::move(calls);
        endResetModel();
    }
    qint32 call(int row) const { return path.value(row, -1); }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(path.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        const qint32 call = path[index.row()];
        if (index.row() + 1 == path.size())
            return trace.text(call);
        return trace.text(call)
                + QStringLiteral(" — ждёт вызов %1 из %2")
                          .arg(trace.childRow(path[index.row() + 1]) + 1)
                          .arg(trace.childCount(call));
    }

private:
    const CallTrace &trace;
    QList<qint32> path;
};

// Every call made up to the furthest moment the figure has reached, under the call
// that made it; the calls after the current moment in grey. The internal id of an
// index is its call.
class CallTreeModel : public QAbstractItemModel
{
public:
    explicit CallTreeModel(const CallTrace &trace, QObject *parent)
        : QAbstractItemModel(parent), trace(trace)
    { }

    // Forgets the calls reached.
    void clear()
    {
        beginResetModel();
        reached = current = -1;
        endResetModel();
    }
    // Adds the calls up to this one, a few row by row, more in one reset.
    void reach(qint32 call)
    {
        if (call > reached + largestStepInPlace || reached < 0) {
            beginResetModel();
            reached = call;
            endResetModel();
            return;
        }
        for (; reached < call;) { // each new call is the last child of its parent so far
            const qint32 added = reached + 1;
            const int row = trace.childRow(added);
            beginInsertRows(indexOf(trace.parent(added)), row, row);
            reached = added;
            endInsertRows();
        }
    }
    // The calls after this one are grey; the views repaint.
    void setCurrent(qint32 call) { current = call; }

    QModelIndex indexOf(qint32 call) const
    {
        return call < 0 ? QModelIndex() : createIndex(trace.childRow(call), 0, quintptr(call));
    }
    static qint32 call(const QModelIndex &index) { return qint32(index.internalId()); }

    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        qint32 child = parent.isValid() ? trace.firstChild(call(parent)) : 0;
        for (int r = 0; r < row && child >= 0; ++r)
            child = trace.nextSibling(child);
        return column == 0 && child >= 0 && child <= reached ? createIndex(row, 0, quintptr(child))
                                                             : QModelIndex();
    }
    QModelIndex parent(const QModelIndex &index) const override
    {
        return index.isValid() ? indexOf(trace.parent(call(index))) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        if (reached < 0)
            return 0;
        if (!parent.isValid())
            return 1;
        int rows = 0;
        for (qint32 child = trace.firstChild(call(parent)); child >= 0 && child <= reached;
             child = trace.nextSibling(child))
            ++rows;
        return rows;
    }
    int columnCount(const QModelIndex &) const override { return 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const qint32 c = call(index);
        if (role == Qt::ForegroundRole && c > current)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        return trace.drewAnything(c) ? trace.text(c) : trace.text(c) + u" — остановка"_qs;
    }

private:
    const CallTrace &trace;
    qint32 reached = -1;
    qint32 current = -1;
};

CallsWindow::CallsWindow(const CallTrace &trace, const QString &emptyText, bool withTree,
                         QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window), heading(new QLabel(this)), stack(new QListView(this)),
      procedure(new ProcedurePart(this)), trace(trace), emptyText(emptyText),
      mainWindow(mainWindow), action(new QAction(QStringLiteral("Показать вызовы"), mainWindow)),
      stackModel(new CallStackModel(trace, this)), pages(new QStackedWidget(this))
{
    setWindowTitle(QStringLiteral("Вызовы"));
    // Neither rows coming and going nor the heading's text resize the window.
    heading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    const int rowsHeight = rowsShown * (fontMetrics().height() + 6) + 4;
    stack->setMinimumHeight(rowsHeight);
    stack->setAccessibleName(QStringLiteral("Стек вызовов"));
    stack->setUniformItemSizes(true);
    stack->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stack->setModel(stackModel);
    // The views are on the second page; the first, empty, stands while there are no calls.
    auto *views = new QWidget;
    auto *layout = new QVBoxLayout(views);
    layout->setContentsMargins({});
    layout->addWidget(caption(QStringLiteral("Стек вызовов"), stack));
    layout->addWidget(stack, 1);
    connect(stack->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) { choose(stackModel->call(index.row())); });
    if (withTree) {
        tree = new QTreeView(this);
        treeModel = new CallTreeModel(trace, this);
        tree->setAccessibleName(QStringLiteral("Дерево вызовов"));
        tree->setUniformRowHeights(true);
        tree->setHeaderHidden(true);
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        tree->setModel(treeModel);
        tree->setMinimumHeight(rowsHeight);
        layout->addWidget(caption(QStringLiteral("Дерево вызовов"), tree));
        layout->addWidget(tree, 2);
        connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex &index) { choose(CallTreeModel::call(index)); });
    }
    layout->addWidget(procedure);
    pages->addWidget(new QWidget);
    pages->addWidget(views);
    auto *window = new QVBoxLayout(this);
    window->addWidget(heading);
    window->addWidget(pages, 1);
    showNoCalls();

    action->setCheckable(true);
    connect(action, &QAction::toggled, this, [this](bool on) {
        if (on && !isVisible())
            placeBeside();
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

// The heading, stack and tree at a call; the calls after newest are grey.
void CallsWindow::showAt(qint32 call, qint32 newest)
{
    following = true;
    current = call;
    heading->setText(QStringLiteral("Вызов %1 из %2").arg(call + 1).arg(trace.calls()));
    pages->setCurrentIndex(1);
    stackModel->setPath(trace.path(call));
    const QModelIndex last = stackModel->index(stackModel->rowCount({}) - 1);
    stack->setCurrentIndex(last);
    stack->scrollTo(last);
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
    procedure->showLines(ProcedureText::named(trace.procedureName()), {}, {});
    following = false;
}

void CallsWindow::showNoCalls()
{
    following = true;
    current = -1;
    heading->setText(emptyText);
    stackModel->setPath({});
    pages->setCurrentIndex(0);
    if (tree)
        treeModel->clear();
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

// To the right of the program's window where the screen has room, else to its left,
// else over the right part of the program's window.
void CallsWindow::placeBeside()
{
    const QRect main = mainWindow->frameGeometry();
    const QRect screen = mainWindow->screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize least = minimumSizeHint();
    const int width = std::max(least.width(), size().width()) + frame.width();
    int left = main.right() + 1;
    if (left + width > screen.right() + 1) // else to its left, else over its right part
        left = main.left() - width >= screen.left() ? main.left() - width
                                                    : std::max(screen.left(), left - width);
    // As tall as the program's window, or taller where the parts need it, within the screen.
    const int height = std::min(std::max(least.height(), mainWindow->height()),
                                screen.height() - frame.height());
    const int top = std::max(screen.top(),
                             std::min(main.top(), screen.bottom() + 1 - height - frame.height()));
    move(left, top);
    resize(width - frame.width(), height);
}

// The texts and rows at the program's scale, the window beside the program's window again.
void CallsWindow::rescale(int percent)
{
    ProgramScale::enlarge(this, mainWindow);
    setMinimumSize(QSize(240, 200) * percent / 100);
    resize(480 * percent / 100, height());
    if (isVisible())
        placeBeside();
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
