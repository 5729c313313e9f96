#include "figures.h"

void Figures::Ris(double x, double y, double d)
{
    const auto call = counter.enter(u"Ris(x, y, d)", x, y, d);
    if (d < 5)
        return;
    Picture1.DrawLine(x, y + d / 2, x, y - d / 2, PaletteColour(5));
    Picture1.DrawLine(x + d / 2, y, x - d / 2, y, PaletteColour(5));
    Picture1.DrawLine(x - d / 3, y + d / 3, x + d / 3, y - d / 3, PaletteColour(5));
    Picture1.DrawLine(x + d / 3, y + d / 3, x - d / 3, y - d / 3, PaletteColour(5));
    Ris(x - d / 2, y, d / 2);
    Ris(x + d / 2, y, d / 2);
    Ris(x, y + d / 2, d / 2);
    Ris(x, y - d / 2, d / 2);
}
