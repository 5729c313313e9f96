#pragma once

#include <QRgb>
#include <QtGlobal>

// The drawing surface the figure procedures paint on. Coordinates and radii
// are in the user coordinate system set by SetScale and arrive as 32-bit
// floats: a figure computes in doubles and narrows each value at the call.
class Canvas
{
public:
    virtual ~Canvas() = default;

    // (x1, y1) becomes the top-left corner of the surface, (x2, y2) the bottom-right one.
    virtual void SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2) = 0;
    // A stroke from (x1, y1) to (x2, y2); the current point moves to (x2, y2).
    virtual void DrawLine(float x1, float y1, float x2, float y2, QRgb colour) = 0;
    // A stroke from the current point to (x2, y2), which becomes the current point.
    virtual void DrawLine(float x2, float y2, QRgb colour) = 0;
    // A circle outline; the radius is measured in units of the horizontal axis.
    virtual void DrawCircle(float cx, float cy, float radius, QRgb colour) = 0;
    // Paints the whole surface white; the coordinate system stays.
    virtual void ClearCanvas() = 0;
};

// The standard 16-colour palette, indices 0 to 15: bit 0 is blue, bit 1 green,
// bit 2 red; 1 to 6 at half strength, 9 to 15 at full strength, 7 light grey, 8 grey.
QRgb PaletteColour(int index);
