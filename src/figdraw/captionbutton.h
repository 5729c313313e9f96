#pragma once

#include <QPushButton>

// A push button whose caption wraps onto further lines at word boundaries
// when it is wider than the button, instead of being clipped.
class CaptionButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    // The area the caption is laid out in.
    QRect captionRect() const;
    // The caption as drawn: hyphens do not break, so lines break only at blanks.
    QString drawnCaption() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
