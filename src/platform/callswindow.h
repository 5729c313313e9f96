#pragma once

#include "proceduretext.h"

#include <QBoxLayout>
#include <QPointer>
#include <QWidget>

#include <functional>

class CallTrace;
class RecordedLines;
struct LinePlace;
class ProcedurePart;
class QAction;
class QLabel;
class QListView;
class QStackedWidget;
class QTreeView;
class CallStackModel;
class CallTreeModel;
class CallTreePicture;

// The "Вызовы" window beside a program's window: which call is current, the
// calls waiting at it, and (for figures) the tree of the calls made so far.
// Choosing a call in either asks the program to go to it.
class CallsWindow : public QWidget
{
    Q_OBJECT

public:
    // emptyText stands alone in the window while it has no calls to show.
    CallsWindow(const CallTrace &trace, const QString &emptyText, bool withTree,
                QWidget *mainWindow);

    // The checkable menu item that shows and hides the window.
    QAction *showAction() const { return action; }
    // The checkable menu item that draws the tree of calls as a tree, for the session.
    QAction *drawnTreeAction() const { return drawnFace; }
    // What the program knows of a call beyond its arguments: the shapes it drew,
    // the lines it wrote, the values it computed.
    void setCallFacts(std::function<CallFacts(qint32 call)> facts) { callFacts = std::move(facts); }
    // Shows the calls of the trace up to this one, which is current.
    void showCall(qint32 call);
    // Shows that every call has returned: no call waits, the whole tree is there.
    void showFinished();
    // Shows the calls of the trace up to newest, the call running this line of its
    // procedure being current.
    void showLine(qint32 call, int line, qint32 newest);
    // The calls now shown are of the class's own code, run in these lines; null for a
    // built-in procedure's.
    void setOwnLines(const RecordedLines *lines);
    // Shows the calls up to the place of the own code's lines, its line highlighted.
    void showOwnLine(LinePlace place);
    // Centres the drawn tree on the current call's node.
    void centreCurrent();
    // Shows emptyText alone.
    void showNoCalls();
    // The texts and rows at a scale of the window's own, its parts one under another or
    // side by side.
    void setOwnScale(int percent, QBoxLayout::Direction direction);
    int ownPercent() const { return own; }
    // Beside the program's window and "Своя процедура", never over them: false where there
    // is no room (see findCallsPlace).
    bool placeBeside();
    QBoxLayout::Direction ownDirection() const { return parts->direction(); }
    // The call shown current: -1 before any, the number of calls once all have returned.
    qint32 currentCall() const { return current; }

    QLabel *heading;
    QListView *stack;
    QTreeView *tree = nullptr;
    CallTreePicture *picture = nullptr;
    QLabel *repeats = nullptr; // the count of repeated calls, over the drawn tree
    ProcedurePart *procedure;

signals:
    void callChosen(qint32 call);
    // There is no room for the window beside the program's window, even at 75 %.
    void noRoomBeside();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rescale();
    void keepCurrentInView();
    void choose(qint32 call);
    void showAt(qint32 call, qint32 newest);
    void showProcedure(qint32 call, int line);
    void expandTree(const QModelIndex &current);
    QBoxLayout *makeTreePart();
    void showDrawn();

    const CallTrace &trace;
    QString emptyText;
    QWidget *mainWindow;
    QAction *action;
    QAction *drawnFace;
    std::function<CallFacts(qint32)> callFacts;
    const RecordedLines *ownLines = nullptr;
    ProcedureText ownCode;
    CallStackModel *stackModel;
    CallTreeModel *treeModel = nullptr;
    QStackedWidget *pages;
    QStackedWidget *faces = nullptr; // of the tree: the list, or drawn
    QBoxLayout *parts;
    int own = 100;
    qint32 current = -1;
    qint32 newestShown = -1;
    bool following = false; // while the views follow the program, not the user
};
