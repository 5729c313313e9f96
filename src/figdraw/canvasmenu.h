#pragma once

#include <QObject>

#include <functional>

class FigureHistory;
class PictureBox;
class PictureFile;
class QAction;
class QImage;
class QMenu;
class QWidget;
class Unfolding;

// The canvas's own items: copying, saving and printing the picture, saving the
// last figure unfolding as an animation, taking figures back and bringing them
// back. Undo and redo first finish the figure that is unfolding; their shortcuts
// work anywhere in the window.
class CanvasMenu : public QObject
{
    Q_OBJECT

public:
    // picture gives what the canvas shows, at 100 % whatever the program's scale;
    // the animation is drawn at the canvas's size.
    CanvasMenu(QWidget *window, FigureHistory &history, Unfolding *unfolding,
               const PictureBox *canvas, std::function<QImage()> picture);

    // The picture's items, undo and redo, then each group of further items, separated.
    void fill(QMenu *menu, const QList<QList<QAction *>> &groups) const;
    // Undo, redo and the animation enabled as the history allows.
    void updateItems();

    PictureFile *pictureFile;
    QAction *undoItem;
    QAction *redoItem;

signals:
    // A figure was taken back or brought back: the canvas shows the history anew.
    void historyMoved();

private:
    FigureHistory &history;
};
