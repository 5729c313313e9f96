#include "figures.h"

#include <cmath>

void Figures::Ris1(double x, double y, double r)
{
    const auto call = counter.enter(u"Ris1(x, y, r)", x, y, r);
    if (r < 10)
        return;
    Picture1.DrawCircle(x, y, r, PaletteColour(5));
    Ris1(x + r, y, r / 1.5);
    Ris1(x - r, y, r / 1.5);
}

void Figures::Ris2(double x, double y, double r)
{
    const auto call = counter.enter(u"Ris2(x, y, r)", x, y, r);
    if (r < 10)
        return;
    Picture1.DrawCircle(x, y, r, PaletteColour(5));
    Ris2(x, y + r, r / 1.5);
    Ris2(x, y - r, r / 1.5);
}

void Figures::Diag(double x, double y, double r)
{
    const auto call = counter.enter(u"Diag(x, y, r)", x, y, r);
    if (r < 10)
        return;
    Picture1.DrawCircle(x, y, r, PaletteColour(5));
    Diag(x + r * std::cos(double(Pi) / 4), y - r * std::sin(double(Pi) / 4), r / 1.5);
    Diag(x - r * std::cos(double(Pi) / 4), y + r * std::sin(double(Pi) / 4), r / 1.5);
}
