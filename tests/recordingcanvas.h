#pragma once

#include "canvas.h"

#include <QList>

// Records every canvas call, in order, for comparing against expected drawings.
class RecordingCanvas final : public Canvas
{
public:
    enum Kind { Scale, Line, LineOn, Circle, Clear };
    struct Call
    {
        Kind kind;
        double a = 0, b = 0, c = 0, d = 0; // line: from (a, b) to (c, d); chained line: to (c, d);
                                           // circle: (a, b) radius c
        QRgb colour = 0;
    };

    void SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2) override
    {
        calls.push_back({Scale, double(x1), double(y1), double(x2), double(y2)});
    }
    void DrawLine(float x1, float y1, float x2, float y2, QRgb colour) override
    {
        calls.push_back({Line, x1, y1, x2, y2, colour});
    }
    void DrawLine(float x2, float y2, QRgb colour) override
    {
        calls.push_back({LineOn, 0, 0, x2, y2, colour});
    }
    void DrawCircle(float cx, float cy, float radius, QRgb colour) override
    {
        calls.push_back({Circle, cx, cy, radius, 0, colour});
    }
    void ClearCanvas() override { calls.push_back({Clear}); }

    QList<Call> calls;
};
