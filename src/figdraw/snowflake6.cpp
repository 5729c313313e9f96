#include "figures.h"

#include <cmath>

void Figures::Ris3(double x, double y, double d)
{
    const auto call = counter.enter(u"Ris3(x, y, d)", x, y, d);
    if (d < 5)
        return;
    Picture1.DrawLine(x - d, y, x + d, y, PaletteColour(9));
    // Наклон 188.4 / 180 радиана: это 60 градусов, если считать пи равным 3,14.
    const double dx = d * std::cos(188.4 / 180);
    const double dy = d * std::sin(188.4 / 180);
    Picture1.DrawLine(x - dx, y - dy, x + dx, y + dy, PaletteColour(9));
    Picture1.DrawLine(x - dx, y + dy, x + dx, y - dy, PaletteColour(9));
    Ris3(x + dx, y + dy, d / 3);
    Ris3(x - dx, y - dy, d / 3);
    Ris3(x - dx, y + dy, d / 3);
    Ris3(x + dx, y - dy, d / 3);
    Ris3(x - 2 * dx, y, d / 3);
    Ris3(x + 2 * dx, y, d / 3);
}
