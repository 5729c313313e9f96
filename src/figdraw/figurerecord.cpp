#include "figurerecord.h"

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

void FigureRecord::replay(qsizetype first, qsizetype last, Canvas &canvas) const
{
    const qsizetype from = first > 0 ? steps_[first - 1].end : 0;
    const qsizetype to = last > 0 ? steps_[last - 1].end : 0;
    for (qsizetype i = from; i < to; ++i) {
        const Shape &s = shapes_[i];
        switch (s.kind) {
        case Line:
            canvas.DrawLine(s.a, s.b, s.c, s.d, s.colour);
            break;
        case LineOn:
            canvas.DrawLine(s.c, s.d, s.colour);
            break;
        case Circle:
            canvas.DrawCircle(s.a, s.b, s.c, s.colour);
            break;
        }
    }
}

qsizetype FigureRecord::bytes() const
{
    return qsizetype(shapes_.capacity()) * qsizetype(sizeof(Shape))
            + qsizetype(steps_.capacity()) * qsizetype(sizeof(Step));
}
