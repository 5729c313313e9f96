#pragma once

#include <QBoxLayout>
#include <QRect>

#include <functional>

// Where the calls window stands, at what scale of its own, and how its parts are arranged.
struct CallsPlace
{
    int percent;
    QBoxLayout::Direction direction; // the parts one under another, or side by side
    QRect frame;                     // on the screen, the window's frame included
};

// The least size of the calls window's frame at a scale of its own and an arrangement.
using LeastCallsSize = std::function<QSize(int percent, QBoxLayout::Direction direction)>;

// Beside the program's window (main) within the screen's available area: at the program's
// scale where it fits there, else at the largest smaller scale that fits, down to 75 %.
// Where even that does not fit, over the program's window but never over the part that must
// stay in view (kept): to its right or under it, at the largest scale that fits there.
CallsPlace findCallsPlace(QRect area, QRect main, QRect kept, int programPercent,
                          const LeastCallsSize &leastAt);
