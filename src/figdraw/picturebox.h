#pragma once

#include "paintercanvas.h"

#include <QFrame>
#include <QImage>

#include <functional>
#include <optional>

class QMenu;

// The square canvas of the figure window: a sunken frame around a white
// picture that keeps every stroke until it is cleared. Strokes go into an
// image, so the picture survives the window being covered or minimised.
// At a scale the canvas grows, its strokes widen, and the picture is drawn
// again at the new size, as it is when the screen's density changes.
class PictureBox : public QFrame, public PainterCanvas
{
    Q_OBJECT

public:
    // The drawing area inside the 2-pixel border, in logical pixels, at 100 %.
    static constexpr int insideSize = 389;
    // The strokes' width at a scale in percent: 1, 2 or 3 pixels.
    static int strokeWidth(int percent);

    explicit PictureBox(QWidget *parent = nullptr);

    void ClearCanvas() override;

    // The picture as it stands, in device pixels.
    QImage picture();
    // Puts back a picture taken before.
    void setPicture(const QImage &taken);
    // The canvas, its border and its strokes at a scale in percent.
    void rescale(int percent);
    // The canvas square with this side, border included, as the lesson view sizes it.
    void resizeTo(int side);
    int percent() const { return percent_; }
    // The width the strokes are drawn with now, in logical pixels.
    int drawnStrokeWidth() const { return strokeWidth(percent_); }
    // What draws the picture again once the canvas has a new size or density; without it
    // the picture is stretched.
    void setRedraw(std::function<void()> drawAgain) { redraw = std::move(drawAgain); }

    // The menu that a right click, the Menu key or Shift+F10 opens.
    QMenu *menu() const { return contextMenu; }
    // Marks on the screen the shapes painted from now on, until the next call
    // or a clear; the mark is never part of the picture. false only removes it.
    void markFollowingShapes(bool mark);

signals:
    void clicked();               // with the left mouse button
    void ctrlClicked(QPointF at); // in the picture's logical pixels

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void openPainter() override;

private:
    void finishPainting();
    void renew();

    QImage image;
    // Stays open while a figure sends strokes; closed before the picture is shown.
    std::optional<QPainter> painter;
    QMenu *contextMenu;
    QPainterPath marked; // in logical pixels of the picture
    bool marking = false;
    int percent_ = 100;
    std::function<void()> redraw;
};
