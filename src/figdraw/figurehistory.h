#pragma once

#include "figures.h"

#include <array>
#include <span>
#include <vector>

// Passes on what another generator gives and keeps the numbers NextRandom
// returned, so that a figure can be drawn again in the same colours.
class KeptColours final : public RandomColours
{
public:
    explicit KeptColours(RandomColours &source) : source(source) { }

    float TimeOfDay() override { return source.TimeOfDay(); }
    void Reseed(double value) override { source.Reseed(value); }
    float NextRandom() override { return kept.emplace_back(source.NextRandom()); }

    std::vector<float> kept;

private:
    RandomColours &source;
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
        Procedure procedure;         // null for a reset
        std::array<qint16, 4> scale; // the corners given to SetScale
        double x, y, size;
        float pi;
        RecursionCounter counts;    // how it recursed when first drawn
        std::vector<float> randoms; // what NextRandom gave it, in order
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
    // Draws them on the canvas again, each in its coordinate system and colours, all but the
    // last leftOut of them.
    void draw(Canvas &canvas, qsizetype leftOut = 0) const;
    // The memory the history holds, in bytes.
    qsizetype bytes() const;

private:
    std::vector<Figure> entries;
    std::size_t done = 0; // entries before it are on the record, the rest can be redone
};
