#include "picturebox.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace {
const QSize inside(PictureBox::insideSize, PictureBox::insideSize);
} // namespace

PictureBox::PictureBox(QWidget *parent)
    : QFrame(parent), PainterCanvas(nullptr, insideSize, 1), contextMenu(new QMenu(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(insideSize + 2 * frameWidth(), insideSize + 2 * frameWidth());
    setFocusPolicy(Qt::StrongFocus);
    image = QImage(inside, QImage::Format_RGB32);
    image.fill(Qt::white);
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
    finishPainting();
    QPainter widgetPainter(this);
    widgetPainter.drawImage(contentsRect().topLeft(), image);
    if (!marked.isEmpty()) {
        widgetPainter.setClipRect(contentsRect());
        widgetPainter.translate(contentsRect().topLeft());
        widgetPainter.setRenderHint(QPainter::Antialiasing);
        widgetPainter.setPen(markPen(150));
        widgetPainter.drawPath(marked);
    }
}

void PictureBox::markFollowingShapes(bool mark)
{
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
    matchScreenDensity();
}

// On a high-density screen the image gets as many pixels as the screen shows,
// so strokes stay sharp; what was drawn before is carried over.
void PictureBox::matchScreenDensity()
{
    const qreal ratio = devicePixelRatioF();
    if (qFuzzyCompare(image.devicePixelRatio(), ratio))
        return;
    finishPainting();
    QImage sharper(inside * ratio, QImage::Format_RGB32);
    sharper.setDevicePixelRatio(ratio);
    sharper.fill(Qt::white);
    QPainter(&sharper).drawImage(QRect(QPoint(0, 0), inside), image);
    image = sharper;
}
