#include "picturebox.h"

#include <QContextMenuEvent>
#include <QMenu>

PictureBox::PictureBox(QWidget *parent)
    : QFrame(parent), PainterCanvas(nullptr, insideSize, 1), contextMenu(new QMenu(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(insideSize + 2 * frameWidth(), insideSize + 2 * frameWidth());
    setFocusPolicy(Qt::StrongFocus);
    image = QImage(contentsRect().size(), QImage::Format_RGB32);
    image.fill(Qt::white);
}

int PictureBox::strokeWidth(int percent)
{
    return percent < 150 ? 1 : percent <= 200 ? 2 : 3;
}

void PictureBox::ClearCanvas()
{
    finishPainting();
    image.fill(Qt::white);
    markFollowingShapes(false);
}

QImage PictureBox::picture()
{
    finishPainting();
    return image;
}

void PictureBox::setPicture(const QImage &taken)
{
    finishPainting();
    image = taken;
    update();
}

void PictureBox::openPainter()
{
    painter.emplace(&image);
    painter->setRenderHint(QPainter::Antialiasing, false);
    paintWith(&*painter);
    update(); // one repaint once the figure is finished
}

void PictureBox::finishPainting()
{
    paintWith(nullptr);
    painter.reset();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!qFuzzyCompare(image.devicePixelRatio(), devicePixelRatioF()))
        renew(); // moved to a screen of another density
    finishPainting();
    QPainter widgetPainter(this);
    widgetPainter.drawImage(contentsRect().topLeft(), image);
    if (!marked.isEmpty()) {
        widgetPainter.setClipRect(contentsRect());
        widgetPainter.translate(contentsRect().topLeft());
        widgetPainter.setRenderHint(QPainter::Antialiasing);
        widgetPainter.setPen(markPen(150, strokeWidth(percent_)));
        widgetPainter.drawPath(marked);
    }
}

void PictureBox::markFollowingShapes(bool mark)
{
    marking = mark;
    traceInto(mark ? &marked : nullptr);
    marked.clear();
    update();
}

void PictureBox::contextMenuEvent(QContextMenuEvent *event)
{
    contextMenu->exec(event->globalPos());
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Menu || shiftF10)
        contextMenu->popup(mapToGlobal(rect().center()));
    else
        QFrame::keyPressEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ControlModifier)
        emit ctrlClicked(event->position() - contentsRect().topLeft());
    else if (event->button() == Qt::LeftButton)
        emit clicked();
    QFrame::mousePressEvent(event);
}

void PictureBox::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    renew();
}

void PictureBox::rescale(int percent)
{
    resizeTo((insideSize + 4) * percent / 100);
}

// The border and strokes are those of the scale nearest the side.
void PictureBox::resizeTo(int side)
{
    constexpr int sideAt100 = insideSize + 4;
    percent_ = (side * 100 + sideAt100 / 2) / sideAt100;
    setLineWidth(2 * percent_ / 100);
    setFixedSize(side, side);
    renew();
}

// The image gets as many pixels as the screen shows of the canvas, so strokes stay
// sharp; what was drawn is drawn again at that size, the mark is carried over.
void PictureBox::renew()
{
    const QSize inside = contentsRect().size();
    const qreal ratio = devicePixelRatioF();
    if (image.size() == inside * ratio && qFuzzyCompare(image.devicePixelRatio(), ratio))
        return;
    finishPainting();
    setArea(inside.width(), strokeWidth(percent_));
    const qreal grown = inside.width() / (image.width() / image.devicePixelRatio());
    marked = QTransform::fromScale(grown, grown).map(marked);
    QImage renewed(inside * ratio, QImage::Format_RGB32);
    renewed.setDevicePixelRatio(ratio);
    renewed.fill(Qt::white);
    if (!redraw)
        QPainter(&renewed).drawImage(QRect(QPoint(0, 0), inside), image);
    image = renewed;
    if (redraw) {
        traceInto(nullptr); // the mark holds the last step alone
        redraw();
        finishPainting();
        traceInto(marking ? &marked : nullptr);
    }
    update();
}
