#include "ownfigure.h"

#include "canvas.h"
#include "ownrun.h"

#include <algorithm>

OwnFigure ownFigure(const OwnRun &run)
{
    OwnFigure figure;
    const LargeVector<OwnRun::Shape> &shapes = run.shapes();
    size_t first = 0;
    for (; first < shapes.size() && shapes[first].kind == OwnRun::Shape::Scale; ++first)
        figure.scale = {qint16(shapes[first].a), qint16(shapes[first].b), qint16(shapes[first].c),
                        qint16(shapes[first].d)};
    figure.shapes.reserve(shapes.size() - first);
    bool circles = true;
    // A line drawn on starts where the last line ended, (0; 0) before any: kept as a line
    // between its two points, it is drawn the same wherever the drawing of the figure starts.
    float x = 0, y = 0;
    for (size_t i = first; i < shapes.size(); ++i) {
        const OwnRun::Shape &s = shapes[i];
        if (s.kind == OwnRun::Shape::LineOn)
            figure.shapes.push_back({x, y, s.c, s.d, PaletteColour(s.colour), FigureRecord::Line});
        else
            figure.shapes.push_back(
                    {s.a, s.b, s.c, s.d, PaletteColour(s.colour), FigureRecord::Kind(s.kind)});
        const bool line = s.kind == OwnRun::Shape::Line || s.kind == OwnRun::Shape::LineOn;
        x = line ? s.c : x;
        y = line ? s.d : y;
        circles = circles && !line;
    }
    const CallTrace &trace = run.trace();
    int deepest = 0;
    std::vector<int> depth(size_t(trace.calls()));
    for (qint32 call = 0; call < trace.calls(); ++call) {
        const qint32 parent = trace.parent(call);
        depth[size_t(call)] = parent < 0 ? 1 : depth[size_t(parent)] + 1;
        deepest = std::max(deepest, depth[size_t(call)]);
    }
    figure.steps.reserve(size_t(trace.steps()));
    for (qsizetype step = 0; step < trace.steps(); ++step) {
        const qint32 call = trace.stepCall(step);
        const auto end = qint32(
                std::max<qsizetype>(run.stepEnds()[size_t(step)].shapes - qsizetype(first), 0));
        figure.steps.push_back({call + 1, depth[size_t(call)], end});
    }
    if (figure.steps.empty() && !figure.shapes.empty()) // drawn with no call of the code's own
        figure.steps.push_back({0, 0, qint32(figure.shapes.size())});
    figure.counts = RecursionCounter::made(trace.calls(), deepest, qint64(figure.shapes.size()));
    figure.onlyCircles = circles && !figure.shapes.empty();
    return figure;
}
