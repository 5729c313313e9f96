#pragma once

#include "calltrace.h"
#include "figuresize.h"
#include "linewalk.h"

#include <QImage>
#include <QObject>
#include <QPointF>

#include <functional>
#include <memory>
#include <vector>

class Canvas;
class CallsWindow;
class FigureRecord;
class LineSteps;
class OwnRun;
class PictureBox;
class QAction;
class RecursionCounter;
class Unfolding;

// Going back into a figure, and the calls window of the figure window. A figure
// that unfolds is drawn into the record first, so that its steps can be taken
// back: the canvas then goes back to what it held before the figure and draws
// the figure again up to that step, from the nearest of the pictures kept on the
// way. While the calls window is open, each figure's calls are recorded with its
// shapes, at every pace, so that any call can be gone to as well, and the figure
// stepped through line by line.
class FigureCalls : public QObject
{
    Q_OBJECT

public:
    // showCounts(calls, depth, shapes) tells the label of one moment of the figure.
    using CountsShown = std::function<void(qint64 calls, int depth, qint64 shapes)>;

    FigureCalls(QWidget *window, PictureBox *picture, FigureRecord &record,
                RecursionCounter &counter, Unfolding *unfolding);

    QAction *showAction() const;
    QAction *drawnTreeAction() const;
    bool isOpen() const;

    // Before a figure that makes what is expected runs: forgets the last one. Returns
    // whether the figure goes into the record, as it does when it unfolds or while the
    // window is open.
    bool beginFigure(bool unfolds, const FigureCount &expected, CountsShown showCounts);
    // After it ran into the record.
    void endFigure();
    // Before the class's own figure, already in the record, is shown: its calls and lines
    // come from its run, whose first shapes, only setting the coordinate system, the record
    // left out.
    void beginOwnFigure(std::shared_ptr<const OwnRun> run, qsizetype shapesLeftOut,
                        CountsShown showCounts);
    // How to rewind the figure's steps.
    std::function<void(qsizetype)> rewinder();
    // Paints the shapes of the steps first ... last - 1.
    void paint(qsizetype first, qsizetype last);
    // Steps 0 ... last - 1 are shown: the window follows.
    void follow(qsizetype last);
    // Forgets the figure; the window shows no calls.
    void clear();
    // Draws the shapes the canvas shows of the figure on another canvas.
    void replayShown(Canvas &canvas) const;
    // The canvas was drawn again up to the figure, at another size: paints the shapes it
    // showed again, and keeps the pictures on the way anew.
    void repaint();

public slots:
    // Goes to the call that drew the shape at this point of the picture, the one drawn
    // last where several are, among the shapes shown.
    void goToShapeAt(QPointF point);

private:
    struct Snapshot
    {
        qsizetype steps; // the steps the picture shows
        qint64 shapes;
        QImage picture;
    };
    void forget();
    void takeMemory(bool open);
    void rewind(qsizetype last);
    // The canvas as it was with the steps 0 ... last - 1 shown.
    void restore(qsizetype last);
    void showLine(LinePlace place);
    qint64 shapesShown() const;
    // The shapes drawn by the time the line at the place has run.
    qint64 shapesAt(LinePlace place) const;
    void choose(qint32 call);
    void showMoment(qsizetype steps, qint64 number, int depth, bool drew);

    PictureBox *picture;
    FigureRecord &record;
    RecursionCounter &counter;
    Unfolding *unfolding;
    CallTrace trace;
    CallsWindow *calls;
    LineSteps *lines;
    std::unique_ptr<LineOrder> order;  // of the figure's lines, while its calls are recorded
    std::shared_ptr<const OwnRun> own; // the run that drew the class's own figure
    qsizetype ownShapesLeftOut = 0;
    CountsShown showCounts;
    bool recorded = false; // the figure is in the record
    bool traced = false;   // and its calls in the trace
    bool choosing = false;
    qint64 partial = 0; // the shapes of the next step shown, line by line
    // The canvas before the figure, then every so many shapes of it.
    std::vector<Snapshot> snapshots;
};
