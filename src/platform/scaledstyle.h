#pragma once

#include <QProxyStyle>

// The program's style at its scale: scroll bars as wide, the tree's indentation and
// branch arrows as large, times the scale. At 100 % it is the style the program
// started with, metric for metric.
class ScaledStyle : public QProxyStyle
{
public:
    // Makes the application's style the one of this scale, so that every widget is
    // polished again with its metrics. Nothing changes while the scale stays at 100 %.
    static void apply(int percent);

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;

private:
    ScaledStyle(QStyle *base, int percent);

    int percent;
};
