#include "paintercanvas.h"

#include <cmath>

namespace {

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

PainterCanvas::PainterCanvas(QPainter *painter, double side, double penWidth)
    : painter(painter), side(side), penWidth(penWidth), margin(2 * penWidth)
{ }

void PainterCanvas::paintWith(QPainter *newPainter)
{
    painter = newPainter;
    penSet = false;
}

void PainterCanvas::setArea(double newSide, double newPenWidth)
{
    side = newSide;
    penWidth = newPenWidth;
    margin = 2 * penWidth;
    penSet = false;
}

void PainterCanvas::SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2)
{
    scale = UserScale::fromCorners(x1, y1, x2, y2);
}

void PainterCanvas::DrawLine(float x1, float y1, float x2, float y2, QRgb colour)
{
    current = QPointF(x1, y1);
    DrawLine(x2, y2, colour);
}

void PainterCanvas::DrawLine(float x2, float y2, QRgb colour)
{
    const QSizeF area(side, side);
    const QPointF from = scale.toPixels(current.x(), current.y(), area);
    const QPointF to = scale.toPixels(x2, y2, area);
    current = QPointF(x2, y2);
    stroke(from, to, colour);
}

void PainterCanvas::stroke(QPointF from, QPointF to, QRgb colour)
{
    if (!finite(from) || !finite(to))
        return;
    if (missesArea(std::min(from.x(), to.x()), std::min(from.y(), to.y()),
                   std::max(from.x(), to.x()), std::max(from.y(), to.y())))
        return;
    penned(colour).drawLine(from, to);
    if (trace) {
        trace->moveTo(from);
        trace->lineTo(to);
    }
}

void PainterCanvas::DrawCircle(float cx, float cy, float radius, QRgb colour)
{
    const QSizeF area(side, side);
    const QPointF centre = scale.toPixels(cx, cy, area);
    const double r = std::abs(scale.toPixels(radius, area));
    if (!finite(centre) || !std::isfinite(r))
        return;
    // Circles whose outline cannot reach the square are skipped.
    if (missesArea(centre.x() - r, centre.y() - r, centre.x() + r, centre.y() + r)
        || coversArea(centre, r))
        return;
    penned(colour).drawEllipse(centre, r, r);
    if (trace)
        trace->addEllipse(centre, r, r);
}

void PainterCanvas::ClearCanvas()
{
    if (!painter)
        openPainter();
    painter->fillRect(QRectF(0, 0, side, side), Qt::white);
}

QPainter &PainterCanvas::penned(QRgb colour)
{
    if (!painter)
        openPainter();
    if (!penSet || colour != penColour) {
        painter->setPen(QPen(QColor::fromRgb(colour), penWidth));
        penColour = colour;
        penSet = true;
    }
    return *painter;
}

bool PainterCanvas::missesArea(double left, double top, double right, double bottom) const
{
    return right < -margin || bottom < -margin || left > side + margin || top > side + margin;
}

// True when every corner of the square lies well inside the circle, so its outline passes outside.
bool PainterCanvas::coversArea(QPointF centre, double radius) const
{
    const double dx = std::max(std::abs(centre.x()), std::abs(centre.x() - side));
    const double dy = std::max(std::abs(centre.y()), std::abs(centre.y() - side));
    return std::hypot(dx, dy) < radius - margin;
}
