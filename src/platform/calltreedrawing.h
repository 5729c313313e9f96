#pragma once

#include "callrepeats.h"
#include "calltreefolds.h"

#include <QFont>
#include <QRectF>

class QPainter;

// The moment the drawn tree shows: the calls made up to the newest, the current call
// with the calls it waits in, or every call returned.
struct TreeMoment
{
    qint32 newest = -1;
    qint32 current = -1;
    QList<qint32> waiting; // the current call's callers, the first call first
    bool finished = false;
};

// Paints the shown calls as boxes joined by lines at a zoom, on the screen or into a file:
// each box the call's arguments, a folded call's count under them, its returned value
// under the box once returned. A call's state shows by fill and outline together.
class CallTreeDrawing
{
public:
    CallTreeDrawing(const CallTrace &trace, const CallRepeats &repeats);

    void setFont(const QFont &font);
    void setCountsShown(bool shown) { countsShown = shown; }
    bool areCountsShown() const { return countsShown; }

    // The whole tree's size at zoom 1, margins included.
    QSizeF size(const DrawnCalls &drawn) const;
    // The room of a node in a level and of a level, at zoom 1.
    QSizeF slotSize() const { return {slot, row}; }
    // The node's box at zoom 1.
    QRectF box(const DrawnCalls &drawn, qint32 node) const;
    // The node whose box holds the point at zoom 1, or -1.
    qint32 nodeAt(const DrawnCalls &drawn, QPointF point) const;
    // Below this zoom the text would be too small to read: nodes are dots.
    double smallestReadable() const;

    // Paints the nodes within the area (at zoom 1) with the painter scaled by the zoom.
    void paint(QPainter &painter, const DrawnCalls &drawn, const TreeMoment &moment, QRectF area,
               double zoom) const;

    // The call's whole text, returned value, count of calls, and the call it repeats.
    QString description(qint32 call, const TreeMoment &moment) const;

private:
    enum class State { Current, Waiting, Finished, Stopping };
    State stateOf(qint32 call, const TreeMoment &moment) const;
    std::pair<const qint32 *, const qint32 *> crossing(const DrawnCalls &drawn, qint32 depth,
                                                       QRectF area) const;
    void paintNode(QPainter &painter, const DrawnCalls &drawn, qint32 node,
                   const TreeMoment &moment) const;

    const CallTrace &trace;
    const CallRepeats &repeats;
    QFont font;
    double charWidth = 7, lineHeight = 16;
    double nodeWidth = 0, nodeHeight = 0, slot = 0, row = 0, margin = 0;
    bool countsShown = false;
};

// "1 364 вызова": a count of calls with the word's Russian form.
QString callsCount(qint32 count);
