#include "figurerecord.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

// The distance in pixels from the point to the segment from a to b.
double distanceToSegment(QPointF point, QPointF a, QPointF b)
{
    const QPointF along = b - a;
    const double length = QPointF::dotProduct(along, along);
    const double t = length > 0
            ? std::clamp(QPointF::dotProduct(point - a, along) / length, 0.0, 1.0)
            : 0.0;
    return QLineF(point, a + t * along).length();
}

} // namespace

void FigureRecord::clear()
{
    shapes_ = LargeVector<Shape>();
    steps_ = LargeVector<Step>();
}

void FigureRecord::restart()
{
    shapes_.clear();
    steps_.clear();
}

void FigureRecord::take(LargeVector<Shape> shapes, LargeVector<Step> steps)
{
    shapes_ = std::move(shapes);
    steps_ = std::move(steps);
}

void FigureRecord::reserve(qsizetype shapes, qsizetype steps)
{
    shapes_.reserve(size_t(shapes));
    steps_.reserve(size_t(steps));
}

void FigureRecord::DrawLine(float x1, float y1, float x2, float y2, QRgb colour)
{
    add({x1, y1, x2, y2, colour, Line});
}

void FigureRecord::DrawLine(float x2, float y2, QRgb colour)
{
    add({0, 0, x2, y2, colour, LineOn});
}

void FigureRecord::DrawCircle(float cx, float cy, float radius, QRgb colour)
{
    add({cx, cy, radius, 0, colour, Circle});
}

void FigureRecord::add(const Shape &shape)
{
    shapes_.push_back(shape);
    if (steps_.empty() || steps_.back().call != counter.calls())
        steps_.push_back({counter.calls(), counter.depth(), 0});
    steps_.back().end = qint32(shapes_.size());
}

qsizetype FigureRecord::shapesUpTo(qsizetype last) const
{
    return last > 0 ? steps_[last - 1].end : 0;
}

void FigureRecord::replay(qsizetype first, qsizetype last, Canvas &canvas) const
{
    replayShapes(shapesUpTo(first), shapesUpTo(last), canvas);
}

// A line drawn on is drawn from where it starts when it comes first.
void FigureRecord::replayShapes(const LargeVector<Shape> &shapes, qsizetype from, qsizetype to,
                                Canvas &canvas)
{
    for (qsizetype i = from; i < to; ++i) {
        const Shape &s = shapes[size_t(i)];
        switch (s.kind) {
        case Line:
            canvas.DrawLine(s.a, s.b, s.c, s.d, s.colour);
            break;
        case LineOn:
            if (i == from && i > 0) {
                const Shape &before = shapes[size_t(i - 1)];
                canvas.DrawLine(before.c, before.d, s.c, s.d, s.colour);
            } else {
                canvas.DrawLine(s.c, s.d, s.colour);
            }
            break;
        case Circle:
            canvas.DrawCircle(s.a, s.b, s.c, s.colour);
            break;
        case Scale:
            canvas.SetScale(qint16(s.a), qint16(s.b), qint16(s.c), qint16(s.d));
            break;
        }
    }
}

QPointF FigureRecord::lineStart(qsizetype shape) const
{
    const Shape &s = shapes_[shape];
    if (s.kind == LineOn && shape > 0)
        return {shapes_[shape - 1].c, shapes_[shape - 1].d};
    return {s.a, s.b};
}

qsizetype FigureRecord::lastStepNear(qsizetype shapes, const UserScale &scale, double side,
                                     QPointF point, double reach) const
{
    const QSizeF area(side, side);
    for (qsizetype i = shapes - 1; i >= 0; --i) {
        const Shape &s = shapes_[i];
        bool near = false;
        if (s.kind == Scale) {
            continue;
        } else if (s.kind == Circle) {
            const double r = std::abs(scale.toPixels(s.c, area));
            near = std::abs(QLineF(point, scale.toPixels(s.a, s.b, area)).length() - r) <= reach;
        } else {
            const QPointF start = lineStart(i);
            near = distanceToSegment(point, scale.toPixels(start.x(), start.y(), area),
                                     scale.toPixels(s.c, s.d, area))
                    <= reach;
        }
        if (near)
            return std::upper_bound(steps_.begin(), steps_.end(), qint32(i),
                                    [](qint32 shape, const Step &step) { return shape < step.end; })
                    - steps_.begin();
    }
    return -1;
}

qsizetype FigureRecord::bytes() const
{
    return qsizetype(shapes_.capacity()) * qsizetype(sizeof(Shape))
            + qsizetype(steps_.capacity()) * qsizetype(sizeof(Step));
}
