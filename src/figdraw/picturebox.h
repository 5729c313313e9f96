#pragma once

#include "paintercanvas.h"

#include <QFrame>
#include <QImage>

#include <optional>

class QMenu;

// The square canvas of the figure window: a sunken frame around a white
// picture that keeps every stroke until it is cleared. Strokes go into an
// image, so the picture survives the window being covered or minimised.
class PictureBox : public QFrame, public PainterCanvas
{
    Q_OBJECT

public:
    // The drawing area inside the 2-pixel border, in logical pixels.
    static constexpr int insideSize = 389;

    explicit PictureBox(QWidget *parent = nullptr);

    void ClearCanvas() override;

    // The picture as it stands, in device pixels.
    QImage picture();
    // Puts back a picture taken before.
    void setPicture(const QImage &taken);

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
    void matchScreenDensity();

    QImage image;
    // Stays open while a figure sends strokes; closed before the picture is shown.
    std::optional<QPainter> painter;
    QMenu *contextMenu;
    QPainterPath marked; // in logical pixels of the picture
};
