#include "paintercanvas.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The part of the segment within the area, or an empty line when none is (Liang and Barsky).
QLineF clipped(QPointF from, QPointF to, const QRectF &area)
{
    const QPointF along = to - from;
    double enter = 0, leave = 1;
    const std::pair<double, double> edges[] = {{-along.x(), from.x() - area.left()},
                                               {along.x(), area.right() - from.x()},
                                               {-along.y(), from.y() - area.top()},
                                               {along.y(), area.bottom() - from.y()}};
    for (const auto &[towards, room] : edges) {
        if (towards == 0 && room < 0)
            return {};
        if (towards < 0)
            enter = std::max(enter, room / towards);
        else if (towards > 0)
            leave = std::min(leave, room / towards);
    }
    return enter <= leave ? QLineF(from + enter * along, from + leave * along) : QLineF();
}

// Adds the arcs of the circle that lie within the area: the angles where it crosses
// the area's edges cut it into arcs, each wholly inside or outside.
void addArcsWithin(QPainterPath &path, QPointF centre, double radius, const QRectF &area)
{
    std::vector<double> angles;
    for (const double x : {area.left(), area.right()})
        if (const double dx = x - centre.x(); std::abs(dx) <= radius)
            for (const double dy : {1.0, -1.0})
                angles.push_back(std::atan2(dy * std::sqrt(radius * radius - dx * dx), dx));
    for (const double y : {area.top(), area.bottom()})
        if (const double dy = y - centre.y(); std::abs(dy) <= radius)
            for (const double dx : {1.0, -1.0})
                angles.push_back(std::atan2(dy, dx * std::sqrt(radius * radius - dy * dy)));
    std::sort(angles.begin(), angles.end());
    const QRectF bounds(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
    const auto degrees = [](double radians) { return -radians * 180 / M_PI; };
    for (size_t i = 0; i < angles.size(); ++i) {
        const double from = angles[i];
        const double to = i + 1 < angles.size() ? angles[i + 1] : angles[0] + 2 * M_PI;
        const double middle = (from + to) / 2;
        if (!area.contains(centre + radius * QPointF(std::cos(middle), std::sin(middle))))
            continue;
        path.arcMoveTo(bounds, degrees(from));
        path.arcTo(bounds, degrees(from), degrees(to - from));
    }
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
    if (const QLineF visible = clipped(from, to, traced()); trace && !visible.isNull()) {
        trace->moveTo(visible.p1());
        trace->lineTo(visible.p2());
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
    if (trace && r > side)
        addArcsWithin(*trace, centre, r, traced());
    else if (trace)
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

// What of a shape the trace keeps: a shape reaching far beyond the square would take
// long to paint in full, and only its part near the square shows, however wide its mark.
QRectF PainterCanvas::traced() const
{
    return {-side / 4, -side / 4, side * 1.5, side * 1.5};
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
