#pragma once

#include "canvas.h"
#include "largeblocks.h"
#include "recursioncounter.h"
#include "userscale.h"

#include <QPointF>

// Keeps what a figure draws, call by call, so that the figure can be shown
// afterwards at any pace: a step is one call that drew, with its shapes.
class FigureRecord final : public Canvas
{
public:
    enum Kind : quint8 { Line, LineOn, Circle, Scale };
    // A line from (a, b) to (c, d); a line on from the current point to (c, d);
    // a circle around (a, b) of radius c; a new coordinate system from (a, b) to (c, d),
    // which only the class's own figures set on their way.
    struct Shape
    {
        float a, b, c, d;
        QRgb colour;
        Kind kind;
    };
    struct Step
    {
        qint64 call; // the number of the call that drew, the first call being 1
        qint32 depth;
        qint32 end; // one past its last shape
    };

    // Reads the call number and depth of each shape from the figure's counter.
    explicit FigureRecord(const RecursionCounter &counter) : counter(counter) { }

    // Forgets everything and gives back its memory.
    void clear();
    // Forgets the shapes, keeping their memory for the next figure.
    void restart();
    // Holds these shapes and steps, made elsewhere, instead.
    void take(LargeVector<Shape> shapes, LargeVector<Step> steps);
    // Takes the memory for this many shapes, drawn by steps calls, at once.
    void reserve(qsizetype shapes, qsizetype steps);

    // The figure procedures never set the scale or clear: the window does that on its canvas.
    void SetScale(qint16, qint16, qint16, qint16) override { }
    void ClearCanvas() override { }
    void DrawLine(float x1, float y1, float x2, float y2, QRgb colour) override;
    void DrawLine(float x2, float y2, QRgb colour) override;
    void DrawCircle(float cx, float cy, float radius, QRgb colour) override;

    const LargeVector<Shape> &shapes() const { return shapes_; }
    const LargeVector<Step> &steps() const { return steps_; }
    // Where the line that is this shape starts, in user coordinates: a line drawn on
    // starts where the shape before it ended.
    QPointF lineStart(qsizetype shape) const;
    // How many shapes the steps 0 ... last - 1 drew.
    qsizetype shapesUpTo(qsizetype last) const;
    // Draws the shapes of the steps first ... last - 1 on the canvas.
    void replay(qsizetype first, qsizetype last, Canvas &canvas) const;
    // Draws the shapes from ... to - 1 on the canvas.
    void replayShapes(qsizetype from, qsizetype to, Canvas &canvas) const
    {
        replayShapes(shapes_, from, to, canvas);
    }
    static void replayShapes(const LargeVector<Shape> &shapes, qsizetype from, qsizetype to,
                             Canvas &canvas);
    // The step that drew the last of the shapes 0 ... shapes - 1 whose stroke
    // passes within reach pixels of the point, on a square canvas of side pixels in
    // this coordinate system; -1 when none does.
    qsizetype lastStepNear(qsizetype shapes, const UserScale &scale, double side, QPointF point,
                           double reach) const;
    // The memory the record holds, in bytes.
    qsizetype bytes() const;

private:
    void add(const Shape &shape);

    const RecursionCounter &counter;
    LargeVector<Shape> shapes_;
    LargeVector<Step> steps_;
};
