#pragma once

#include <QWidget>

class CallTrace;
class QAction;
class QLabel;
class QListView;
class QStackedWidget;
class QTreeView;
class CallStackModel;
class CallTreeModel;

// The "Вызовы" window beside a program's window: which call is current, the
// calls waiting at it, and (for figures) the tree of all calls made so far.
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
    // Shows the calls of the trace up to this one, which is current.
    void showCall(qint32 call);
    // Shows emptyText alone.
    void showNoCalls();

    QLabel *heading;
    QListView *stack;
    QTreeView *tree = nullptr;

signals:
    void callChosen(qint32 call);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeBeside();
    void rescale(int percent);
    void choose(qint32 call);

    const CallTrace &trace;
    QString emptyText;
    QWidget *mainWindow;
    QAction *action;
    CallStackModel *stackModel;
    CallTreeModel *treeModel = nullptr;
    QStackedWidget *pages;
    qint32 current = -1;
    bool following = false; // while the views follow the program, not the user
};
