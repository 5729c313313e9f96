#include "canvas.h"

QRgb PaletteColour(int index)
{
    if (index == 7)
        return qRgb(192, 192, 192);
    if (index == 8)
        return qRgb(128, 128, 128);
    const int strength = index < 8 ? 128 : 255;
    const int bits = index < 8 ? index : index - 8;
    const auto channel = [&](int bit) { return bits & bit ? strength : 0; };
    return qRgb(channel(4), channel(2), channel(1));
}
