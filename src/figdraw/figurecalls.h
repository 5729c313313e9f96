#pragma once

#include "calltrace.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <vector>

class CallsWindow;
class FigureRecord;
class PictureBox;
class QAction;
class RecursionCounter;
class Unfolding;

// The calls window of the figure window: while it is open, each figure's calls
// are recorded with its shapes, so that any call can be gone to and steps
// taken back. The canvas then goes back to what it held before the figure and
// draws the figure again up to that call, from the nearest of the pictures kept
// on the way.
class FigureCalls : public QObject
{
    Q_OBJECT

public:
    // showCounts(calls, depth, shapes) tells the label of one moment of the figure.
    using CountsShown = std::function<void(qint64 calls, int depth, qint64 shapes)>;

    FigureCalls(QWidget *window, PictureBox *picture, FigureRecord &record,
                RecursionCounter &counter, Unfolding *unfolding);

    QAction *showAction() const;
    // Whether the figure under way is recorded with its calls.
    bool recording() const { return kept; }

    // Before a figure runs: its calls are recorded while the window is open.
    void beginFigure(CountsShown showCounts);
    // After it ran into the record.
    void endFigure();
    // How to rewind the figure's steps, when it is recorded.
    std::function<void(qsizetype)> rewinder();
    // Paints the shapes of the steps first ... last - 1.
    void paint(qsizetype first, qsizetype last);
    // Steps 0 ... last - 1 are shown: the window follows. Returns whether the
    // record is still needed once the figure is shown in full.
    bool follow(qsizetype last);
    // Forgets the figure.
    void clear();
    // The steps the canvas shows of the figure.
    qsizetype stepsPainted() const { return painted; }
    // The canvas was drawn again up to the figure, at another size: paints the steps it
    // showed again, and keeps the pictures on the way anew.
    void repaint();

private:
    struct Snapshot
    {
        qsizetype steps; // the steps the picture shows
        qint64 shapes;
        QImage picture;
    };
    void rewind(qsizetype last);
    void choose(qint32 call);
    void showMoment(qint32 call);

    PictureBox *picture;
    FigureRecord &record;
    RecursionCounter &counter;
    Unfolding *unfolding;
    CallTrace trace;
    CallsWindow *calls;
    CountsShown showCounts;
    bool kept = false;
    bool choosing = false;
    qsizetype painted = 0;
    // The canvas before the figure, then every so many shapes of it.
    std::vector<Snapshot> snapshots;
};
