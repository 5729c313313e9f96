#pragma once

#include "figures.h"
#include "ownfigure.h"

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

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

// Passes on what another generator gives and keeps the numbers NextRandom
// returned, so that a figure can be drawn again in the same colours. While
// replaying, it gives back numbers kept before instead, and keeps none.
class KeptColours final : public RandomColours
{
public:
    explicit KeptColours(RandomColours &source) : source(source) { }

    float TimeOfDay() override { return colours().TimeOfDay(); }
    void Reseed(double value) override { colours().Reseed(value); }
    float NextRandom() override
    {
        return replayed ? replayed->NextRandom() : kept.emplace_back(source.NextRandom());
    }
    // From now on gives back these numbers, which must outlive the replay, in order.
    void replay(const std::vector<float> &numbers) { replayed.emplace(numbers); }
    // Goes back to the generator.
    void endReplay() { replayed.reset(); }

    std::vector<float> kept;

private:
    RandomColours &colours() { return replayed ? *replayed : source; }

    RandomColours &source;
    std::optional<ReplayedColours> replayed;
};

// What redraws the picture, and the undo and redo of figures: the figures
// drawn and the resets, in order, each figure with what draws it again (never
// its shapes). Undo steps back over the last figure or reset, redo steps
// forward again; adding drops whatever could have been redone.
class FigureHistory
{
public:
    using Procedure = void (Figures::*)(double x, double y, double size);
    struct Figure
    {
        Procedure procedure;         // null for a reset and for the class's own figure
        std::array<qint16, 4> scale; // the corners given to SetScale
        double x, y, size;
        float pi;
        RecursionCounter counts;    // how it recursed when first drawn
        std::vector<float> randoms; // what NextRandom gave it, in order
        // A figure the class's own code drew, kept whole: its code may draw differently
        // when run again.
        std::shared_ptr<const OwnFigure> own;

        bool isReset() const { return !procedure && !own; }
    };

    void add(Figure figure);
    // A reset of a canvas with figures on it.
    void reset();
    bool canUndo() const { return done > 0; }
    bool canRedo() const { return done < entries.size(); }
    void undo();
    void redo();

    // The figures now on the canvas, those since the last reset, oldest first.
    std::span<const Figure> onCanvas() const;
    // Draws them on the canvas again, each in its coordinate system and colours.
    void draw(Canvas &canvas) const { draw(onCanvas(), canvas); }
    static void draw(std::span<const Figure> figures, Canvas &canvas);
    // Draws the figure again through figures, which must take their colours
    // from the figure's numbers, on their canvas in its coordinate system; the
    // class's own figure comes from its shapes into the record instead.
    static void drawAgain(const Figure &figure, Figures &figures, FigureRecord &record);
    static void drawAgain(const Figure &figure, Figures &figures);
    // The memory the history holds, in bytes.
    qsizetype bytes() const;

private:
    std::vector<Figure> entries;
    std::size_t done = 0; // entries before it are on the record, the rest can be redone
};
