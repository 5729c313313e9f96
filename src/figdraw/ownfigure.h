#pragma once

#include "figurerecord.h"
#include "recursioncounter.h"

#include <array>

class OwnRun;

// A figure the class's own code drew, as the canvas and the record take it: the
// coordinate system it starts in, its shapes in the palette's colours, and its steps,
// each a run of shapes one call drew.
struct OwnFigure
{
    std::array<qint16, 4> scale{0, 0, 200, 200};
    LargeVector<FigureRecord::Shape> shapes;
    LargeVector<FigureRecord::Step> steps;
    RecursionCounter counts;
    bool onlyCircles = false;
};

// The coordinate system set before anything is drawn is the figure's own; the code that
// sets none draws in (0, 0)-(200, 200).
OwnFigure ownFigure(const OwnRun &run);
