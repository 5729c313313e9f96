#include "figurehistory.h"

void FigureHistory::add(Figure figure)
{
    entries.resize(done);
    entries.push_back(std::move(figure));
    done = entries.size();
}

void FigureHistory::reset()
{
    if (!onCanvas().empty())
        add({});
}

void FigureHistory::undo()
{
    if (canUndo())
        --done;
}

void FigureHistory::redo()
{
    if (canRedo())
        ++done;
}

std::span<const FigureHistory::Figure> FigureHistory::onCanvas() const
{
    std::size_t first = done;
    while (first > 0 && !entries[first - 1].isReset())
        --first;
    return {entries.data() + first, done - first};
}

void FigureHistory::draw(std::span<const Figure> figures, Canvas &canvas)
{
    for (const Figure &figure : figures) {
        const auto &[x1, y1, x2, y2] = figure.scale;
        canvas.SetScale(x1, y1, x2, y2);
        if (figure.own) {
            FigureRecord::replayShapes(figure.own->shapes, 0, qsizetype(figure.own->shapes.size()),
                                       canvas);
            continue;
        }
        ReplayedColours colours(figure.randoms);
        Figures again(canvas, colours);
        drawAgain(figure, again);
    }
}

void FigureHistory::drawAgain(const Figure &figure, Figures &figures, FigureRecord &record)
{
    if (figure.own)
        record.take(figure.own->shapes, figure.own->steps);
    else
        drawAgain(figure, figures);
}

void FigureHistory::drawAgain(const Figure &figure, Figures &figures)
{
    figures.Pi = figure.pi;
    (figures.*figure.procedure)(figure.x, figure.y, figure.size);
}

qsizetype FigureHistory::bytes() const
{
    qsizetype total = qsizetype(entries.capacity()) * qsizetype(sizeof(Figure));
    for (const Figure &figure : entries) {
        total += qsizetype(figure.randoms.capacity()) * qsizetype(sizeof(float));
        if (figure.own)
            total += qsizetype(figure.own->shapes.capacity() * sizeof(FigureRecord::Shape)
                               + figure.own->steps.capacity() * sizeof(FigureRecord::Step));
    }
    return total;
}
