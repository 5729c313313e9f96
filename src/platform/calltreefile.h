#pragma once

#include "calltreedrawing.h"

class QWidget;

// Asks where to save the drawn tree, as PNG or SVG; empty when cancelled.
QString chooseTreeFile(QWidget *parent);
// Writes the shown calls as drawn, whole, into a PNG or SVG file (by the name's ending);
// the system's reason when that fails, empty when it succeeds.
QString writeCallTree(const QString &path, const CallTreeDrawing &drawing, const DrawnCalls &drawn,
                      const TreeMoment &moment);
