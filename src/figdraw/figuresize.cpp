#include "figuresize.h"

#include <cmath>
#include <limits>

namespace {
// Far more levels than any figure that could ever be drawn.
constexpr int levelsBeyondCounting = 100;

double drawingCalls(const Growth &growth, double size)
{
    const int levels = drawingLevels(growth, size);
    if (levels >= levelsBeyondCounting)
        return std::numeric_limits<double>::infinity();
    // Level k holds branches^k calls that draw.
    double calls = 0;
    for (int k = 0; k < levels; ++k)
        calls += std::pow(double(growth.branches), k);
    return calls;
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
    return drawingCalls(growth, size) * growth.shapesPerCall;
}

// Each call that draws makes branches calls; the first call is made by the window.
FigureCount figureCount(const Growth &growth, double size)
{
    const auto drawing = qsizetype(drawingCalls(growth, size));
    return {1 + drawing * growth.branches, drawing, drawing * growth.shapesPerCall};
}
