#pragma once

#include <QObject>

#include <functional>
#include <memory>

class FigureHistory;
class PictureBox;
class QAction;
class QImage;
class QPainter;
class QPrinter;
class QProgressDialog;
class QWidget;
class Unfolding;

// "Копировать рисунок" (Ctrl+C), "Сохранить рисунок…" (Ctrl+S), "Печать…"
// (Ctrl+P) and "Сохранить анимацию…": the picture without the border, to the
// clipboard and into a PNG file as the canvas shows it at 100 %, into an SVG
// file and onto paper drawn again from the figure history as lines and
// circles, and the last figure unfolding into an animated GIF, made from the
// history too, at the canvas's size and the pace's tempo. The shortcuts work anywhere in the
// window. Saving as SVG and printing first finish an unfolding figure; when saving or printing
// takes longer than half a second a progress dialog shows, whose cancel button stops the work and
// leaves no file.
class PictureFile : public QObject
{
    Q_OBJECT

public:
    // picture gives what the canvas shows, at 100 % whatever the program's scale; the
    // animation takes its side and stroke width from canvas as it stands when saved.
    PictureFile(QWidget *window, const FigureHistory &history, Unfolding *unfolding,
                const PictureBox *canvas, std::function<QImage()> picture);
    ~PictureFile() override;

    QAction *copy;
    QAction *save;
    QAction *print;
    QAction *animation; // enabled by the window while a figure is on the canvas

    // The figures as an SVG file on the canvas's own 389 by 389 coordinates; empty when cancelled.
    QByteArray svg();
    // The last figure on the canvas unfolding, as an animated GIF as large as the canvas,
    // its steps at the tempo of the pace; empty when cancelled or when the canvas has no figure.
    QByteArray gif();
    // Prints the picture centred on the page, square, as large as the printable area
    // allows. Returns false when cancelled or when the printer fails.
    bool printOn(QPrinter &printer);
    // The printer with the settings of the last print, made at the first.
    QPrinter &printer();
    // Milliseconds of work before the progress dialog shows.
    int progressAfter = 500;

public slots:
    void copyPicture();
    // Asks where to save; a failed save is reported and leaves no file behind.
    void savePicture();
    // Asks where and how to print, in Qt's print dialog.
    void printPicture();
    // Asks where to save the animation; a failed save is reported and leaves no file behind.
    void saveAnimation();

private:
    bool paintFigures(QPainter &painter, double side, const QString &work);
    void showProgress(QProgressDialog &progress) const;
    void writeReporting(const QByteArray &bytes, const QString &path);

    QWidget *window;
    const FigureHistory &history;
    Unfolding *unfolding;
    const PictureBox *canvas;
    std::function<QImage()> picture;
    std::unique_ptr<QPrinter> printer_;
};
