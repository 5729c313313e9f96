#include "calltreedrawing.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

QString callsCount(qint32 count)
{
    const int lastTwo = count % 100, last = count % 10;
    const char16_t *word = (lastTwo >= 11 && lastTwo <= 14) || last == 0 || last >= 5 ? u"вызовов"
            : last == 1 ? u"вызов"
                        : u"вызова";
    return QLocale(QLocale::Russian).toString(count) + u' ' + QString::fromUtf16(word);
}

CallTreeDrawing::CallTreeDrawing(const CallTrace &trace, const CallRepeats &repeats)
    : trace(trace), repeats(repeats)
{
    setFont(QApplication::font());
}

void CallTreeDrawing::setFont(const QFont &newFont)
{
    font = newFont;
    const QFontMetricsF metrics(font);
    charWidth = metrics.averageCharWidth();
    lineHeight = metrics.height();
    nodeWidth = 16 * charWidth + 8;
    nodeHeight = 2 * lineHeight + 6;
    slot = nodeWidth + 2 * charWidth;
    row = nodeHeight + 3 * lineHeight; // the returned value under the box, then the lines
    margin = lineHeight;
}

QSizeF CallTreeDrawing::size(const DrawnCalls &drawn) const
{
    const double widest = drawn.x.empty() ? 0 : *std::max_element(drawn.x.begin(), drawn.x.end());
    return {2 * margin + widest * slot + nodeWidth,
            2 * margin + std::max(0, drawn.levels - 1) * row + nodeHeight + lineHeight};
}

QRectF CallTreeDrawing::box(const DrawnCalls &drawn, qint32 node) const
{
    return {margin + drawn.x[size_t(node)] * slot, margin + (drawn.depth[size_t(node)] - 1) * row,
            nodeWidth, nodeHeight};
}

qint32 CallTreeDrawing::nodeAt(const DrawnCalls &drawn, QPointF point) const
{
    const auto depth = qint32(std::floor((point.y() - margin) / row)) + 1;
    if (depth < 1 || depth > drawn.levels)
        return -1;
    const auto [first, last] = crossing(drawn, depth, QRectF(point, QSizeF(0, 0)));
    for (const qint32 *node = first; node != last; ++node)
        if (box(drawn, *node).contains(point))
            return *node;
    return -1;
}

double CallTreeDrawing::smallestReadable() const
{
    return 6.0 / lineHeight; // text of 6 pixels a line
}

QString CallTreeDrawing::description(qint32 call, const TreeMoment &moment) const
{
    QString text = QStringLiteral("Вызов %1: %2").arg(call + 1).arg(trace.text(call));
    if (const QString value = trace.returned(call);
        !value.isEmpty() && stateOf(call, moment) >= State::Finished)
        text += u" → "_qs + value;
    text += u"\nвсего "_qs + callsCount(subtreeCalls(trace, call, moment.newest));
    if (const qint32 first = repeats.earlier(call); first >= 0)
        text += u"\nто же, что вызов %1"_qs.arg(first + 1);
    return text;
}

CallTreeDrawing::State CallTreeDrawing::stateOf(qint32 call, const TreeMoment &moment) const
{
    if (!moment.finished) {
        if (call == moment.current)
            return State::Current;
        if (moment.waiting.contains(call))
            return State::Waiting;
    }
    return trace.firstChild(call) < 0 ? State::Stopping : State::Finished;
}

// The nodes of a level whose boxes or lines up to their parents may cross the area, left to
// right: a level's boxes and its parents' centres both go left to right, so they are a run.
std::pair<const qint32 *, const qint32 *> CallTreeDrawing::crossing(const DrawnCalls &drawn,
                                                                    qint32 depth, QRectF area) const
{
    const qint32 *first = drawn.byLevel.data() + drawn.levelStart[size_t(depth)];
    const qint32 *last = drawn.byLevel.data() + drawn.levelStart[size_t(depth) + 1];
    const double slack = 4 + charWidth; // the folded box behind, the value under
    const auto centreAbove = [&](qint32 node) {
        const qint32 up = drawn.parent[size_t(node)];
        return up > 0 ? box(drawn, up).center().x() : box(drawn, node).center().x();
    };
    first = std::partition_point(first, last, [&](qint32 node) {
        return std::max(box(drawn, node).right(), centreAbove(node)) + slack < area.left();
    });
    last = std::partition_point(first, last, [&](qint32 node) {
        return std::min(box(drawn, node).left(), centreAbove(node)) - slack <= area.right();
    });
    return {first, last};
}

void CallTreeDrawing::paint(QPainter &painter, const DrawnCalls &drawn, const TreeMoment &moment,
                            QRectF area, double zoom) const
{
    painter.save();
    painter.scale(zoom, zoom);
    const QPalette palette = QApplication::palette();
    const bool readable = zoom >= smallestReadable();
    painter.setFont(font);
    // Level by level, those whose band (the lines from above, the boxes, the values) crosses it.
    for (qint32 depth = 1; depth <= drawn.levels; ++depth) {
        const double top = margin + (depth - 1) * row;
        if (top - row > area.bottom() || top + nodeHeight + lineHeight < area.top())
            continue;
        const auto [first, last] = crossing(drawn, depth, area);
        QList<QLineF> lines; // from each parent's box to its children's
        for (const qint32 *node = first; node != last; ++node)
            if (const qint32 up = drawn.parent[size_t(*node)]; up > 0) {
                const QRectF from = box(drawn, up), to = box(drawn, *node);
                lines << QLineF(from.center().x(), from.bottom() + (readable ? lineHeight : 0),
                                to.center().x(), to.top());
            }
        painter.setPen(QPen(palette.color(QPalette::Mid), 1 / zoom));
        painter.drawLines(lines);
        for (const qint32 *node = first; node != last; ++node) {
            if (readable) {
                paintNode(painter, drawn, *node, moment);
                continue;
            }
            const State state = stateOf(drawn.call[size_t(*node)], moment); // a dot
            painter.fillRect(box(drawn, *node),
                             state == State::Current           ? palette.color(QPalette::Highlight)
                                     : state == State::Waiting ? palette.color(QPalette::Link)
                                                               : palette.color(QPalette::Text));
        }
    }
    painter.restore();
}

// Current: dark fill and a thick outline; waiting: light fill and a dashed outline; finished:
// plain; stopping: grey and rounded. A repeated call is hatched, a folded one has a second edge.
void CallTreeDrawing::paintNode(QPainter &painter, const DrawnCalls &drawn, qint32 node,
                                const TreeMoment &moment) const
{
    const QPalette palette = QApplication::palette();
    const qint32 call = drawn.call[size_t(node)];
    const State state = stateOf(call, moment);
    const QRectF at = box(drawn, node);
    QColor fill = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    QPen outline(text, 1);
    double rounding = 0;
    switch (state) {
    case State::Current:
        fill = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
        outline.setWidthF(3);
        break;
    case State::Waiting:
        fill = palette.color(QPalette::Highlight).lighter(170);
        outline.setWidthF(2);
        outline.setStyle(Qt::DashLine);
        break;
    case State::Stopping:
        fill = palette.color(QPalette::Button);
        rounding = lineHeight / 2;
        break;
    case State::Finished:
        break;
    }
    painter.setPen(outline);
    painter.setBrush(fill);
    if (drawn.folded[size_t(node)]) // a second box behind: the calls folded into it
        painter.drawRect(at.translated(4, 4));
    painter.drawRoundedRect(at, rounding, rounding);
    if (repeats.earlier(call) >= 0)
        painter.fillRect(at.adjusted(2, 2, -2, -2),
                         QBrush(palette.color(QPalette::Mid), Qt::BDiagPattern));
    painter.setPen(text);
    const QRectF first(at.left() + 4, at.top() + 3, at.width() - 8, lineHeight);
    const QFontMetricsF metrics(font);
    painter.drawText(first, Qt::AlignCenter,
                     metrics.elidedText(trace.values(call), Qt::ElideRight, first.width()));
    const qint32 below = subtreeCalls(trace, call, moment.newest) - 1;
    const QString second = drawn.folded[size_t(node)] ? u"+ "_qs + callsCount(below)
            : countsShown ? QLocale(QLocale::Russian).toString(below + 1)
                          : QString();
    painter.drawText(first.translated(0, lineHeight), Qt::AlignCenter,
                     metrics.elidedText(second, Qt::ElideRight, first.width()));
    const QString value = trace.returned(call);
    if (!value.isEmpty() && state >= State::Finished) {
        painter.setPen(palette.color(QPalette::Text));
        const QRectF under(at.left() - charWidth, at.bottom() + 1, at.width() + 2 * charWidth,
                           lineHeight);
        painter.drawText(under, Qt::AlignCenter,
                         metrics.elidedText(u"→ "_qs + value, Qt::ElideRight, under.width()));
    }
}
