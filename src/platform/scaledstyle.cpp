#include "scaledstyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

ScaledStyle::ScaledStyle(QStyle *base, int percent) : QProxyStyle(base), percent(percent) { }

void ScaledStyle::apply(int percent)
{
    auto *current = dynamic_cast<ScaledStyle *>(QApplication::style());
    if (current ? current->percent == percent : percent == 100)
        return;
    const QString name = current ? current->baseStyle()->name() : QApplication::style()->name();
    QApplication::setStyle(new ScaledStyle(QStyleFactory::create(name), percent));
}

int ScaledStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                             const QWidget *widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
    case PM_TreeViewIndentation:
        return base * percent / 100;
    default:
        return base;
    }
}

// The tree's branch arrows drawn larger about their middle.
void ScaledStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                QPainter *painter, const QWidget *widget) const
{
    if (element != PE_IndicatorBranch || percent == 100) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QPointF middle = QRectF(option->rect).center();
    const qreal factor = percent / 100.0;
    painter->save();
    painter->translate(middle);
    painter->scale(factor, factor);
    painter->translate(-middle);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    painter->restore();
}
