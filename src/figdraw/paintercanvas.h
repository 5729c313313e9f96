#pragma once

#include "canvas.h"
#include "userscale.h"

#include <QPainter>
#include <QPainterPath>

// The mark over the shapes of a step: orange, five strokes wide with round ends;
// translucent on the screen (alpha 150), opaque in an animated GIF.
inline QPen markPen(int alpha, int strokeWidth = 1)
{
    return QPen(QColor(255, 140, 0, alpha), 5 * strokeWidth, Qt::SolidLine, Qt::RoundCap);
}

// A canvas that paints each shape with a QPainter into the square from (0, 0) to
// (side, side) of the painter's coordinates, with strokes penWidth wide: the
// window's image, a printed page, an SVG file. Shapes that cannot touch the
// square are skipped; the picture is the same.
class PainterCanvas : public Canvas
{
public:
    PainterCanvas(QPainter *painter, double side, double penWidth);

    void SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2) override;
    void DrawLine(float x1, float y1, float x2, float y2, QRgb colour) override;
    void DrawLine(float x2, float y2, QRgb colour) override;
    void DrawCircle(float cx, float cy, float radius, QRgb colour) override;
    // Paints the square white.
    void ClearCanvas() override;

    // The shapes painted from now on are also traced into the path, none when it is null.
    void traceInto(QPainterPath *path) { trace = path; }
    // The coordinate system set last, and the side of the square in the painter's coordinates.
    const UserScale &userScale() const { return scale; }
    double sideLength() const { return side; }

protected:
    // The painter the shapes go to from now on, with its pen set anew; null closes it.
    void paintWith(QPainter *painter);
    // The square's side and the strokes' width from now on.
    void setArea(double side, double penWidth);
    // Called before a shape is painted while no painter is set: PictureBox opens one here.
    virtual void openPainter() { }

private:
    QPainter &penned(QRgb colour);
    void stroke(QPointF from, QPointF to, QRgb colour);
    bool missesArea(double left, double top, double right, double bottom) const;
    QRectF traced() const;
    bool coversArea(QPointF centre, double radius) const;

    QPainter *painter;
    bool penSet = false;
    QRgb penColour = 0;
    double side;
    double penWidth;
    // A shape further than this outside the square cannot touch any of its pixels.
    double margin;
    UserScale scale;
    QPointF current; // in user coordinates
    QPainterPath *trace = nullptr;
};
