#include "unfoldingframes.h"

#include <algorithm>

UnfoldingFrames::UnfoldingFrames(std::span<const FigureHistory::Figure> onCanvas)
    : image(side, side, QImage::Format_RGB32), canvas(&painter, side, 1),
      colours(onCanvas.back().randoms), figures(canvas, colours), record(figures.counter)
{
    image.fill(Qt::white);
    painter.begin(&image);
    FigureHistory::draw(onCanvas.first(onCanvas.size() - 1), canvas);
    const FigureHistory::Figure &last = onCanvas.back();
    figures.drawOn(record);
    FigureHistory::drawAgain(last, figures);
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
        QImage withMark = image.copy();
        QPainter markPainter(&withMark);
        markPainter.setPen(markPen(255));
        markPainter.drawPath(marked);
        markPainter.end();
        if (!frame(withMark, stepDelay))
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
