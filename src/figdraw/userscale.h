#pragma once

#include <QPointF>
#include <QSizeF>
#include <QtGlobal>

// A user coordinate system on a rectangular surface: the user values at the
// left and top edges and the signed extents (a negative extent runs the axis
// the other way).
struct UserScale
{
    double left = 0;
    double top = 0;
    double width = 1;
    double height = 1;

    static UserScale fromCorners(qint16 x1, qint16 y1, qint16 x2, qint16 y2)
    {
        return {double(x1), double(y1), double(x2) - x1, double(y2) - y1};
    }

    // Where a user point lands, measured in pixels from the surface's top-left corner.
    QPointF toPixels(double x, double y, QSizeF surface) const
    {
        return {(x - left) / width * surface.width(), (y - top) / height * surface.height()};
    }

    // A length along the horizontal axis, in pixels.
    double toPixels(double length, QSizeF surface) const
    {
        return length / (width < 0 ? -width : width) * surface.width();
    }
};
