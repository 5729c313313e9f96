#include "captionbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

QRect CaptionButton::captionRect() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

QString CaptionButton::drawnCaption() const
{
    return text().replace(u'-', QChar(0x2011)); // non-breaking hyphen
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear(); // the style draws the bevel and focus frame, the caption comes next
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawItemText(captionRect(), Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(),
                         drawnCaption(), QPalette::ButtonText);
}
