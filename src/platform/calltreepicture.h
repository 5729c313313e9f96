#pragma once

#include "callrepeats.h"
#include "calltreedrawing.h"
#include "calltreefolds.h"

#include <QAbstractScrollArea>

class QMenu;

// "Дерево вызовов" drawn as a tree: the first call at the top, the calls each made under
// it, left to right. A click goes to a call, or opens a folded one a level; the wheel and
// dragging move the picture, Ctrl with the wheel or Ctrl++ and Ctrl+- zoom it.
class CallTreePicture : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CallTreePicture(const CallTrace &trace, QWidget *parent = nullptr);

    // A new trace, or none: every call folded as the default has it.
    void reset();
    // The calls made up to newest, current the call running (-1 for none), or all returned.
    void showMoment(qint32 newest, qint32 current, bool finished);
    // Every call made open.
    void openAll();
    // The zoom at which the whole tree fits the part.
    void fit();
    double zoom() const { return scale; }
    void setZoom(double zoom);
    // Writes the tree as shown, folded and opened, to a PNG or SVG file; the reason on failure.
    QString saveTo(const QString &path);

    const DrawnCalls &drawn() const { return calls; }
    const CallRepeats &repeats() const { return repeated; }
    const CallTreeDrawing &drawing() const { return painting; }
    // The folds as the user sets them.
    CallTreeFolds &folds()
    {
        userFolded = true;
        return folding;
    }
    // Moves the picture so that the call's node, when shown, stands in the middle.
    void centreOn(qint32 call);
    // The node's box in the viewport.
    QRect nodeRect(qint32 node) const;
    // After the folds changed: lays the shown calls out again.
    void refold();
    QMenu *menu() const { return actions; }
    static constexpr double zoomStep = 1.25;

signals:
    void callChosen(qint32 call);
    // The count of repeated calls up to the newest changed.
    void repeatsCounted(qint32 repeats);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void fitFolds();
    void relayOut();
    void describeSelected();
    void updateScrollBars();
    void keepInView(qint32 node);
    void activate(qint32 node);
    void moveTo(qint32 node);
    qint32 selectedNode() const;
    void makeMenu();
    void saveChosen();
    QPoint scrolled() const;
    QPointF sceneAt(QPoint viewportPoint) const;

    const CallTrace &trace;
    CallRepeats repeated;
    CallTreeFolds folding;
    CallTreeDrawing painting;
    DrawnCalls calls;
    TreeMoment moment;
    QMenu *actions;
    QAction *openLevelItem, *openBelowItem, *foldBelowItem;
    double scale = 1;
    bool repeatsFound = false, foldsFitted = false;
    bool userFolded = false; // once the user opened or folded a call, the size keeps the folds
    qint32 selected = -1;    // the call chosen with the keys or the mouse
    QPoint dragFrom;
    bool dragging = false;
};
