#pragma once

#include <QtGlobal>

// How a figure grows with its start size, so that the window can refuse a
// size whose drawing would freeze it for too long before drawing anything.
struct Growth
{
    double smallest;   // a call with a smaller size returns at once
    double divisor;    // each level divides the size by this
    int branches;      // recursive calls of a call that draws
    int shapesPerCall; // shapes drawn by a call that draws
};

constexpr Growth circleChainGrowth{10, 1.5, 2, 1};
constexpr Growth snowflakeGrowth{5, 2, 4, 4};
constexpr Growth snowflake6Growth{5, 3, 6, 3};
constexpr Growth triangleGrowth{20, 2, 3, 6};

// More shapes than this are refused.
constexpr double shapeLimit = 1'500'000;

// The number of levels that draw: sizes size, size / divisor, ... not below smallest.
int drawingLevels(const Growth &growth, double size);
// The shapes a figure of the given start size draws (infinite when beyond counting).
double shapeCount(const Growth &growth, double size);

// What a figure of a start size that may be drawn makes: all its calls, those that draw, its
// shapes.
struct FigureCount
{
    qsizetype calls, drawingCalls, shapes;
};
FigureCount figureCount(const Growth &growth, double size);
// The most calls, drawing calls and shapes any figure that may be drawn makes, each on its own.
FigureCount largestFigureCount();
