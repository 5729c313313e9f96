#include "callsplace.h"

#include "programscale.h"

#include <algorithm>
#include <array>

namespace {

constexpr int smallestBeside = 75; // the smallest own scale beside the program's window
constexpr int smallest = 50;       // the smallest at all: the longest line still whole in it
// The own scales below 100 %, tried where the program's scale does not fit.
constexpr std::array<int, 6> smallerSteps{90, 80, 75, 70, 60, 50};
constexpr int usualWidth = 480; // at 100 %, where there is room

// The scales from the program's down to the lowest, largest first.
QList<int> scalesDownTo(int programPercent, int lowest)
{
    QList<int> scales;
    for (int step : ProgramScale::steps) // the program's steps rise; the list falls
        if (step <= programPercent)
            scales.prepend(step);
    for (int below : smallerSteps)
        if (below >= lowest)
            scales << below;
    return scales;
}

// The frame within the region: at least the least size, as tall as the program's window
// and as wide as usual where the region allows; on the region's side next to the
// program's window (its right end for a region left of it), level with its top.
QRect frameIn(QRect region, QSize least, int percent, QRect main, bool alignRight)
{
    const int width = std::min(region.width(), std::max(least.width(), usualWidth * percent / 100));
    const int height = std::min(region.height(), std::max(least.height(), main.height()));
    const int top = std::clamp(main.top(), region.top(), region.bottom() + 1 - height);
    const int left = alignRight ? region.right() + 1 - width : region.left();
    return {left, top, width, height};
}

bool fits(QSize size, QRect region)
{
    return size.width() <= region.width() && size.height() <= region.height();
}

} // namespace

CallsPlace findCallsPlace(QRect area, QRect main, QRect kept, int programPercent,
                          const LeastCallsSize &leastAt)
{
    const QRect right(QPoint(main.right() + 1, area.top()), area.bottomRight());
    const QRect left(area.topLeft(), QPoint(main.left() - 1, area.bottom()));
    for (int percent : scalesDownTo(programPercent, smallestBeside)) {
        const QSize least = leastAt(percent, QBoxLayout::TopToBottom);
        for (const auto &[region, alignRight] : {std::pair{right, false}, {left, true}})
            if (fits(least, region))
                return {percent, QBoxLayout::TopToBottom,
                        frameIn(region, least, percent, main, alignRight)};
    }
    // Over the program's window: right of the part kept in view, or under it, its parts
    // side by side where that is low and wide.
    const QRect rightOfKept(QPoint(std::max(area.left(), kept.right() + 1), area.top()),
                            area.bottomRight());
    const QRect underKept(QPoint(area.left(), std::max(area.top(), kept.bottom() + 1)),
                          area.bottomRight());
    for (int percent : scalesDownTo(programPercent, smallest))
        for (auto direction : {QBoxLayout::TopToBottom, QBoxLayout::LeftToRight}) {
            const QSize least = leastAt(percent, direction);
            for (const QRect &region : {rightOfKept, underKept})
                if (fits(least, region))
                    return {percent, direction, frameIn(region, least, percent, main, false)};
        }
    const QSize least = leastAt(smallest, QBoxLayout::TopToBottom);
    return {smallest, QBoxLayout::TopToBottom, frameIn(rightOfKept, least, smallest, main, false)};
}
