#pragma once

#include <QObject>

class PictureBox;
class QAction;
class QWidget;

// "Копировать рисунок" (Ctrl+C) and "Сохранить рисунок…" (Ctrl+S): the picture
// as it stands, without the border, at the image's own resolution, to the
// clipboard or into a PNG file. Both shortcuts work anywhere in the window.
class PictureFile : public QObject
{
    Q_OBJECT

public:
    PictureFile(QWidget *window, PictureBox *canvas);

    QAction *copy;
    QAction *save;

public slots:
    void copyPicture();
    // Asks where to save; a failed save is reported and leaves no file behind.
    void savePicture();

private:
    QWidget *window;
    PictureBox *canvas;
};
