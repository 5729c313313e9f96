#include "callsplace.h"

#include "programscale.h"

#include <algorithm>
#include <array>

namespace {

// The own scales below 100 %, tried where the program's scale does not fit.
constexpr std::array<int, 3> smallerSteps{90, 80, 75};

// The scales from the program's down to 75 %, largest first.
QList<int> scalesDown(int programPercent)
{
    QList<int> scales;
    for (int step : ProgramScale::steps) // the program's steps rise; the list falls
        if (step <= programPercent)
            scales.prepend(step);
    for (int below : smallerSteps)
        scales << below;
    return scales;
}

bool fits(QSize size, QRect region)
{
    return size.width() <= region.width() && size.height() <= region.height();
}

// The frame within the region: at least the least size, as large as wanted where the region
// allows; on the region's side next to the program's window (its right end for a region
// left of it), level with the main window's top, or under it at its left.
QRect frameIn(QRect region, QSize least, QSize wanted, QRect main, Qt::Edge side)
{
    const int width = std::min(region.width(), std::max(least.width(), wanted.width()));
    const int height = std::min(region.height(), std::max(least.height(), wanted.height()));
    if (side == Qt::BottomEdge)
        return {std::clamp(main.left(), region.left(), region.right() + 1 - width), region.top(),
                width, height};
    const int top = std::clamp(main.top(), region.top(), region.bottom() + 1 - height);
    const int left = side == Qt::LeftEdge ? region.right() + 1 - width : region.left();
    return {left, top, width, height};
}

struct Region
{
    QRect rect;
    Qt::Edge side;
};

// Right and left of what is taken, the side with more room first.
QList<Region> besideRegions(QRect area, QRect taken)
{
    const QRect right(QPoint(taken.right() + 1, area.top()), area.bottomRight());
    const QRect left(area.topLeft(), QPoint(taken.left() - 1, area.bottom()));
    if (left.width() > right.width())
        return {{left, Qt::LeftEdge}, {right, Qt::RightEdge}};
    return {{right, Qt::RightEdge}, {left, Qt::LeftEdge}};
}

// The largest scale, down to 75 %, at which the window fits one of the regions.
CallsPlace placeIn(const QList<Region> &regions, QRect main, int programPercent, QSize wanted,
                   const LeastCallsSize &leastAt)
{
    for (int percent : scalesDown(programPercent))
        for (const Region &region : regions) {
            QSize scaledWanted = wanted * percent / 100;
            if (region.side != Qt::BottomEdge) // beside, as tall as the program's window
                scaledWanted.setHeight(std::max(scaledWanted.height(), main.height()));
            for (auto direction : {QBoxLayout::TopToBottom, QBoxLayout::LeftToRight}) {
                const QSize least = leastAt(percent, direction);
                if (fits(least, region.rect))
                    return {percent,
                            direction,
                            frameIn(region.rect, least, scaledWanted, main, region.side),
                            {}};
                if (region.side != Qt::BottomEdge) // beside, the parts stand one under another
                    break;
            }
        }
    return {};
}

} // namespace

CallsPlace findCallsPlace(QRect area, QRect main, QRect taken, int programPercent, QSize wanted,
                          const LeastCallsSize &leastAt)
{
    if (CallsPlace place
        = placeIn(besideRegions(area, taken), main, programPercent, wanted, leastAt);
        place.found())
        return place;
    // Under the program's window and whatever else stands beside it.
    const QRect below(QPoint(area.left(), std::max(area.top(), taken.bottom() + 1)),
                      area.bottomRight());
    if (CallsPlace place = placeIn({{below, Qt::BottomEdge}}, main, programPercent, {}, leastAt);
        place.found())
        return place;
    // The program's window, and what stands beside it, moved to the area's left edge.
    const QPoint shift(area.left() - taken.left(), 0);
    if (shift.isNull())
        return {};
    CallsPlace place = placeIn(besideRegions(area, taken.translated(shift)), main.translated(shift),
                               programPercent, wanted, leastAt);
    place.shift = shift;
    return place;
}
