#pragma once

#include <QFont>

// Window layouts are given in twips: 15 twips make one logical pixel.
constexpr int twipsPerPixel = 15;

// "MS Sans Serif" where the system has it, its sans-serif face otherwise.
inline QFont formFont(double points, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
