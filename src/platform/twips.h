#pragma once

#include <QFont>
#include <QRect>

// Window layouts are given in twips: 15 twips make one logical pixel.
constexpr int twipsPerPixel = 15;

constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return {left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
            height / twipsPerPixel};
}

// "MS Sans Serif" where the system has it, its sans-serif face otherwise.
inline QFont formFont(double points, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
