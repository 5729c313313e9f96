#include "figurehistory.h"

namespace {

// Gives back, in order, the numbers a figure's colours came from.
class ReplayedColours final : public RandomColours
{
public:
    explicit ReplayedColours(const std::vector<float> &numbers) : numbers(numbers) { }

    float TimeOfDay() override { return 0; }
    void Reseed(double) override { }
    float NextRandom() override { return next < numbers.size() ? numbers[next++] : 0; }

private:
    const std::vector<float> &numbers;
    std::size_t next = 0;
};

} // namespace

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
    while (first > 0 && entries[first - 1].procedure)
        --first;
    return {entries.data() + first, done - first};
}

void FigureHistory::draw(Canvas &canvas, qsizetype leftOut) const
{
    const auto figures = onCanvas();
    for (const Figure &figure : figures.first(std::max<qsizetype>(figures.size() - leftOut, 0))) {
        ReplayedColours colours(figure.randoms);
        Figures figures(canvas, colours);
        figures.Pi = figure.pi;
        const auto &[x1, y1, x2, y2] = figure.scale;
        canvas.SetScale(x1, y1, x2, y2);
        (figures.*figure.procedure)(figure.x, figure.y, figure.size);
    }
}

qsizetype FigureHistory::bytes() const
{
    qsizetype total = qsizetype(entries.capacity()) * qsizetype(sizeof(Figure));
    for (const Figure &figure : entries)
        total += qsizetype(figure.randoms.capacity()) * qsizetype(sizeof(float));
    return total;
}
