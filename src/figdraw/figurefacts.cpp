#include "figurefacts.h"

#include "calltrace.h"
#include "figurerecord.h"

CallFacts figureFacts(const FigureRecord &record, const CallTrace &trace, qint32 call)
{
    CallFacts facts;
    if (!trace.drewAnything(call))
        return facts;
    const qsizetype step = trace.stepsUpTo(call) - 1;
    const auto &steps = record.steps();
    const auto &shapes = record.shapes();
    const qsizetype first = step > 0 ? steps[size_t(step - 1)].end : 0;
    for (qsizetype i = first; i < steps[size_t(step)].end; ++i) {
        const FigureRecord::Shape &s = shapes[size_t(i)];
        const QPointF start = record.lineStart(i);
        if (s.kind == FigureRecord::Circle)
            facts.shapes << DrawnShape{DrawnShape::Circle, s.a, s.b, s.c, 0};
        else
            facts.shapes << DrawnShape{DrawnShape::Line, start.x(), start.y(), s.c, s.d};
    }
    const FigureRecord::Shape &firstShape = shapes[size_t(first)];
    // Treug's colour c is the palette index its lines were drawn in.
    for (int c = 0; c < 16; ++c)
        if (PaletteColour(c) == firstShape.colour) {
            facts.values.insert(u"c"_qs, c);
            break;
        }
    // Ris3's second line runs from (x - dx, y - dy) to (x + dx, y + dy).
    if (facts.shapes.size() > 1) {
        const DrawnShape &slant = facts.shapes[1];
        facts.values.insert(u"dx"_qs, (slant.c - slant.a) / 2);
        facts.values.insert(u"dy"_qs, (slant.d - slant.b) / 2);
    }
    return facts;
}
