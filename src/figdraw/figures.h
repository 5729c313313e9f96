#pragma once

#include "canvas.h"
#include "randomcolours.h"
#include "recursioncounter.h"

// The six recursive figures. Each procedure starts with the stopping test,
// then draws its own strokes, then calls itself for the smaller parts, each
// finishing its whole subtree before the next begins. Sizes and points stay
// doubles down the recursion and become floats only at the canvas.
//
// Every procedure first registers its entry with the counter, so the window
// can show how often it was called and how deep the calls went.
class Figures
{
public:
    Figures(Canvas &canvas, RandomColours &colours)
        : Picture1(canvas, counter), colours(colours) { }

    // Circle chains: one circle, then a chain in each direction from its rim.
    void Ris1(double x, double y, double r);
    void Ris2(double x, double y, double r);
    void Diag(double x, double y, double r);
    // Four-armed snowflake: a star of four strokes, then four stars of half the size.
    void Ris(double x, double y, double d);
    // Six-armed snowflake: three strokes, then six snowflakes of a third of the size.
    void Ris3(double x, double y, double d);
    // Sierpinski triangle: a triangle and its middle triangle, then three corner triangles.
    void Treug(double x, double y, double d);

    // The canvas the figures draw on from now on.
    void drawOn(Canvas &canvas) { Picture1.passTo(canvas); }

    RecursionCounter counter;
    // The direction of the diagonal chain is Pi / 4; the diagonal command sets it.
    float Pi = 0;

private:
    CountingCanvas Picture1;
    RandomColours &colours;
};
