#include "unfoldingframes.h"

#include "unfolding.h"

#include <algorithm>

int UnfoldingFrames::stepDelayAt(Pace pace)
{
    switch (pace) {
    case Pace::AtOnce:
    case Pace::Fast:
        return 50;
    case Pace::Slow:
        return 500;
    case Pace::Stepwise:
    case Pace::Linewise:
        break;
    }
    return 1000;
}

UnfoldingFrames::UnfoldingFrames(std::span<const FigureHistory::Figure> onCanvas, int side,
                                 int strokeWidth, int stepDelay)
    : image(side, side, QImage::Format_RGB32), canvas(&painter, side, strokeWidth),
      colours(onCanvas.back().randoms), figures(canvas, colours), record(figures.counter),
      strokeWidth(strokeWidth), stepDelay(stepDelay)
{
    image.fill(Qt::white);
    painter.begin(&image);
    FigureHistory::draw(onCanvas.first(onCanvas.size() - 1), canvas);
    const FigureHistory::Figure &last = onCanvas.back();
    figures.drawOn(record);
    FigureHistory::drawAgain(last, figures, record);
    const auto &[x1, y1, x2, y2] = last.scale;
    canvas.SetScale(x1, y1, x2, y2);
}

int UnfoldingFrames::count() const
{
    return int(std::min<qsizetype>(record.steps().size(), mostSteppedFrames)) + 2;
}

bool UnfoldingFrames::make(const std::function<bool(const QImage &frame, int delay)> &frame)
{
    const qsizetype steps = record.steps().size();
    const int stepped = count() - 2;
    if (!frame(image, firstDelay))
        return false;
    qsizetype shown = 0;
    QPainterPath marked;
    for (int k = 1; k <= stepped; ++k) {
        const qsizetype upTo = (k * steps + stepped - 1) / stepped;
        marked.clear();
        canvas.traceInto(&marked);
        record.replay(shown, upTo, canvas);
        shown = upTo;
        // The mark goes onto the picture itself, and what it covers is put back after the
        // frame: no copy of a whole large picture for every frame.
        const int reach = 5 * strokeWidth; // more than half the mark's width, round ends included
        const QRect under
                = marked.controlPointRect().toAlignedRect().adjusted(-reach, -reach, reach, reach)
                & image.rect();
        const QImage unmarked = image.copy(under);
        painter.save();
        painter.setPen(markPen(255, strokeWidth));
        painter.drawPath(marked);
        painter.restore();
        const bool goOn = frame(image, stepDelay);
        painter.drawImage(under.topLeft(), unmarked);
        if (!goOn)
            return false;
    }
    canvas.traceInto(nullptr);
    return frame(image, lastDelay);
}

QList<QRgb> UnfoldingFrames::palette()
{
    QList<QRgb> colours;
    for (int index = 0; index < 16; ++index)
        colours << PaletteColour(index);
    return colours << markPen(255).color().rgb();
}
