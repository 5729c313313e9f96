#include "figures.h"

void Figures::Treug(double x, double y, double d)
{
    const auto call = counter.enter(u"Treug(x, y, d)", x, y, d);
    if (d < 20)
        return;
    colours.Reseed(colours.TimeOfDay());
    const int c = int(colours.NextRandom() * 15.0); // целая часть: от 0 до 14
    // Внешний треугольник: вершина, нижний правый угол, нижний левый, снова вершина.
    Picture1.DrawLine(x, y, x + d / 2, y + d, PaletteColour(c));
    Picture1.DrawLine(x - d / 2, y + d, PaletteColour(c));
    Picture1.DrawLine(x, y, PaletteColour(c));
    // Средний треугольник, вершиной вниз, через середины сторон.
    Picture1.DrawLine(x - d / 4, y + d / 2, x + d / 4, y + d / 2, PaletteColour(c));
    Picture1.DrawLine(x, y + d, PaletteColour(c));
    Picture1.DrawLine(x - d / 4, y + d / 2, PaletteColour(c));
    Treug(x + d / 4, y + d / 2, d / 2);
    Treug(x - d / 4, y + d / 2, d / 2);
    Treug(x, y, d / 2);
}
