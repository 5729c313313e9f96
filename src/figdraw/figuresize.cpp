#include "figuresize.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Far more levels than any figure that could ever be drawn.
constexpr int levelsBeyondCounting = 100;

// The calls that draw in a figure of this many levels that draw: level k holds branches^k.
double drawingCalls(const Growth &growth, int levels)
{
    double calls = 0;
    for (int k = 0; k < levels; ++k)
        calls += std::pow(double(growth.branches), k);
    return calls;
}

// Each call that draws makes branches calls; the first call is made by the window.
FigureCount countAt(const Growth &growth, int levels)
{
    const auto drawing = qsizetype(drawingCalls(growth, levels));
    return {1 + drawing * growth.branches, drawing, drawing * growth.shapesPerCall};
}
} // namespace

int drawingLevels(const Growth &growth, double size)
{
    int levels = 0;
    // The same divisions as the figure makes, so the boundaries agree exactly.
    for (double s = size; !(s < growth.smallest) && levels < levelsBeyondCounting;
         s /= growth.divisor)
        ++levels;
    return levels;
}

double shapeCount(const Growth &growth, double size)
{
    const int levels = drawingLevels(growth, size);
    if (levels >= levelsBeyondCounting)
        return std::numeric_limits<double>::infinity();
    return drawingCalls(growth, levels) * growth.shapesPerCall;
}

FigureCount figureCount(const Growth &growth, double size)
{
    return countAt(growth, drawingLevels(growth, size));
}

// Each figure at the most levels its shapes may fill.
FigureCount largestFigureCount()
{
    FigureCount most{0, 0, 0};
    for (const Growth &growth : {circleChainGrowth, snowflakeGrowth, snowflake6Growth}) {
        int levels = 0;
        while (drawingCalls(growth, levels + 1) * growth.shapesPerCall <= shapeLimit)
            ++levels;
        const FigureCount count = countAt(growth, levels);
        most = {std::max(most.calls, count.calls), std::max(most.drawingCalls, count.drawingCalls),
                std::max(most.shapes, count.shapes)};
    }
    return most;
}
