#include "picturebox.h"

#include <QContextMenuEvent>
#include <QMenu>

#include <cmath>

namespace {

const QSizeF inside(PictureBox::insideSize, PictureBox::insideSize);
// A shape further than this outside the area cannot touch any of its pixels.
constexpr double margin = 2;

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool missesArea(double left, double top, double right, double bottom)
{
    return right < -margin || bottom < -margin || left > inside.width() + margin
            || top > inside.height() + margin;
}

// True when every corner of the area lies well inside the circle, so its outline passes outside.
bool coversArea(QPointF centre, double radius)
{
    const double dx = std::max(std::abs(centre.x()), std::abs(centre.x() - inside.width()));
    const double dy = std::max(std::abs(centre.y()), std::abs(centre.y() - inside.height()));
    return std::hypot(dx, dy) < radius - margin;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QFrame(parent), contextMenu(new QMenu(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(insideSize + 2 * frameWidth(), insideSize + 2 * frameWidth());
    setFocusPolicy(Qt::StrongFocus);
    image = QImage(inside.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
}

void PictureBox::SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2)
{
    scale = UserScale::fromCorners(x1, y1, x2, y2);
}

void PictureBox::DrawLine(float x1, float y1, float x2, float y2, QRgb colour)
{
    current = QPointF(x1, y1);
    DrawLine(x2, y2, colour);
}

void PictureBox::DrawLine(float x2, float y2, QRgb colour)
{
    const QPointF from = scale.toPixels(current.x(), current.y(), inside);
    const QPointF to = scale.toPixels(x2, y2, inside);
    current = QPointF(x2, y2);
    stroke(from, to, colour);
}

void PictureBox::stroke(QPointF from, QPointF to, QRgb colour)
{
    if (!finite(from) || !finite(to))
        return;
    if (missesArea(std::min(from.x(), to.x()), std::min(from.y(), to.y()),
                   std::max(from.x(), to.x()), std::max(from.y(), to.y())))
        return;
    painterWith(colour).drawLine(from, to);
    if (marking) {
        marked.moveTo(from);
        marked.lineTo(to);
    }
}

void PictureBox::DrawCircle(float cx, float cy, float radius, QRgb colour)
{
    const QPointF centre = scale.toPixels(cx, cy, inside);
    const double r = std::abs(scale.toPixels(radius, inside));
    if (!finite(centre) || !std::isfinite(r))
        return;
    // Circles whose outline cannot reach the area are skipped; the picture is the same.
    if (missesArea(centre.x() - r, centre.y() - r, centre.x() + r, centre.y() + r)
        || coversArea(centre, r))
        return;
    painterWith(colour).drawEllipse(centre, r, r);
    if (marking)
        marked.addEllipse(centre, r, r);
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

QPainter &PictureBox::painterWith(QRgb colour)
{
    if (!painter) {
        painter.emplace(&image);
        painter->setRenderHint(QPainter::Antialiasing, false);
        update(); // one repaint once the figure is finished
    } else if (colour == penColour) {
        return *painter;
    }
    painter->setPen(QPen(QColor::fromRgb(colour), 1));
    penColour = colour;
    return *painter;
}

void PictureBox::finishPainting()
{
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
        widgetPainter.setPen(QPen(QColor(255, 140, 0, 150), 5, Qt::SolidLine, Qt::RoundCap));
        widgetPainter.drawPath(marked);
    }
}

void PictureBox::markFollowingShapes(bool mark)
{
    marking = mark;
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
    if (event->button() == Qt::LeftButton)
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
    QImage sharper(inside.toSize() * ratio, QImage::Format_RGB32);
    sharper.setDevicePixelRatio(ratio);
    sharper.fill(Qt::white);
    QPainter(&sharper).drawImage(QRectF(QPointF(0, 0), inside), image);
    image = sharper;
}
