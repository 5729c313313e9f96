#pragma once

#include "figuresize.h"

#include <QString>

#include <optional>

class QWidget;

// Asks for a figure's size and reads it. Text that is not a number, a number beyond a
// double and a size too large to draw in reasonable time (more shapes than the limit,
// circles or lines) are reported over the window; a cancelled prompt is not. Returns the
// size when the figure may be drawn.
std::optional<double> askFigureSize(QWidget *window, const QString &prompt, const Growth &growth,
                                    bool circles);
