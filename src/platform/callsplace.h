#pragma once

#include <QBoxLayout>
#include <QRect>

#include <functional>

// Where a window of the program beside its main window stands (the calls window, "Своя
// процедура"), at what scale of its own, and how its parts are arranged.
struct CallsPlace
{
    int percent = 0; // 0: there is no room for it beside the program's window at all
    QBoxLayout::Direction direction = QBoxLayout::TopToBottom; // its parts under or beside
    QRect frame; // on the screen, the window's frame included
    // How far the program's window, and what stands beside it, moves to make room.
    QPoint shift;

    bool found() const { return percent > 0; }
};

// The least size of the window's frame at a scale of its own and an arrangement.
using LeastCallsSize = std::function<QSize(int percent, QBoxLayout::Direction direction)>;

// Beside what the program's windows take (taken: its main window, main, and its other
// windows there) within the screen's available area, never over any of it: on the side
// with more room, at the program's scale where it fits there, else at the largest smaller
// scale that fits, down to 75 %; else under the main window; else beside them once they
// have moved to the area's left edge. wanted is the frame's size at 100 % where there is
// room for it. Where nothing fits, nothing is found.
CallsPlace findCallsPlace(QRect area, QRect main, QRect taken, int programPercent, QSize wanted,
                          const LeastCallsSize &leastAt);
