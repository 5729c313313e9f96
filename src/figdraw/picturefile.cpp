#include "picturefile.h"

#include "errorreport.h"
#include "figurehistory.h"
#include "gifanimation.h"
#include "numberreader.h"
#include "picturebox.h"
#include "unfolding.h"
#include "unfoldingframes.h"
#include "wholefile.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPicture>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QSvgGenerator>

namespace {

const QString pngType = QStringLiteral("PNG (*.png)");
const QString svgType = QStringLiteral("SVG (*.svg)");
const QString gifType = QStringLiteral("GIF (*.gif)");

// The file named in the user's pictures folder, else in the home folder.
QString inPictures(const QString &name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

// Asks for the file to save into; empty when cancelled.
QString chosenFile(QFileDialog &dialog)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QByteArray png(const QImage &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

// Passes the shapes on while a progress dialog counts them; once the dialog is
// cancelled, drops the rest.
class ProgressCanvas final : public Canvas
{
public:
    ProgressCanvas(Canvas &target, QProgressDialog &progress, qint64 total)
        : target(target), progress(progress), total(std::max<qint64>(total, 1))
    { }

    void SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2) override
    {
        target.SetScale(x1, y1, x2, y2);
    }
    void DrawLine(float x1, float y1, float x2, float y2, QRgb colour) override
    {
        if (goOn())
            target.DrawLine(x1, y1, x2, y2, colour);
    }
    void DrawLine(float x2, float y2, QRgb colour) override
    {
        if (goOn())
            target.DrawLine(x2, y2, colour);
    }
    void DrawCircle(float cx, float cy, float radius, QRgb colour) override
    {
        if (goOn())
            target.DrawCircle(cx, cy, radius, colour);
    }
    void ClearCanvas() override { target.ClearCanvas(); }

private:
    // Tells the dialog, in thousandths, every 1024 shapes.
    bool goOn()
    {
        if ((++shapes & 1023) == 0 && !progress.wasCanceled())
            progress.setValue(int(shapes * progress.maximum() / total));
        return !progress.wasCanceled();
    }

    Canvas &target;
    QProgressDialog &progress;
    qint64 total;
    qint64 shapes = 0;
};

} // namespace

PictureFile::PictureFile(QWidget *window, const FigureHistory &history, Unfolding *unfolding,
                         const PictureBox *canvas, std::function<QImage()> picture)
    : QObject(window), copy(new QAction(QStringLiteral("Копировать рисунок"), window)),
      save(new QAction(QStringLiteral("Сохранить рисунок…"), window)),
      print(new QAction(QStringLiteral("Печать…"), window)),
      animation(new QAction(QStringLiteral("Сохранить анимацию…"), window)), window(window),
      history(history), unfolding(unfolding), canvas(canvas), picture(std::move(picture))
{
    copy->setShortcut(QKeySequence::Copy);
    save->setShortcut(QKeySequence::Save);
    print->setShortcut(QKeySequence::Print);
    window->addActions({copy, save, print}); // so that the shortcuts work wherever the focus is
    connect(copy, &QAction::triggered, this, &PictureFile::copyPicture);
    connect(save, &QAction::triggered, this, &PictureFile::savePicture);
    connect(print, &QAction::triggered, this, &PictureFile::printPicture);
    connect(animation, &QAction::triggered, this, &PictureFile::saveAnimation);
}

PictureFile::~PictureFile() = default;

void PictureFile::copyPicture()
{
    QGuiApplication::clipboard()->setImage(picture());
}

void PictureFile::savePicture()
{
    QFileDialog dialog(window, QStringLiteral("Сохранить рисунок"),
                       inPictures(QStringLiteral("рисунок.png")),
                       pngType + QStringLiteral(";;") + svgType);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &type) {
        dialog.setDefaultSuffix(type == svgType ? QStringLiteral("svg") : QStringLiteral("png"));
    });
    const QString path = chosenFile(dialog);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool asSvg
            = suffix == u"svg" || (suffix != u"png" && dialog.selectedNameFilter() == svgType);
    if (asSvg)
        unfolding->finish();
    const QByteArray bytes = asSvg ? svg() : png(picture());
    if (!bytes.isEmpty()) // else cancelled
        writeReporting(bytes, path);
}

void PictureFile::saveAnimation()
{
    QFileDialog dialog(window, QStringLiteral("Сохранить анимацию"),
                       inPictures(QStringLiteral("анимация.gif")), gifType);
    QString path = chosenFile(dialog);
    if (path.isEmpty())
        return;
    if (!path.endsWith(u".gif", Qt::CaseInsensitive))
        path += QStringLiteral(".gif");
    const QByteArray bytes = gif();
    if (!bytes.isEmpty()) // else cancelled
        writeReporting(bytes, path);
}

void PictureFile::writeReporting(const QByteArray &bytes, const QString &path)
{
    const QString reason = writeWholeFile(path, bytes);
    if (!reason.isEmpty())
        ErrorReport(window, window->windowTitle(),
                    QStringLiteral("Не удалось сохранить рисунок «%1»: %2.")
                            .arg(quotedInput(path), reason));
}

QByteArray PictureFile::gif()
{
    if (history.onCanvas().empty())
        return {};
    QProgressDialog progress(QStringLiteral("Сохранение анимации…"), QStringLiteral("Отмена"), 0, 0,
                             window);
    showProgress(progress);
    // As large as the canvas, in logical pixels, and with its strokes.
    UnfoldingFrames frames(history.onCanvas(), canvas->contentsRect().width(),
                           canvas->drawnStrokeWidth(),
                           UnfoldingFrames::stepDelayAt(unfolding->pace()));
    progress.setMaximum(frames.count());
    GifAnimation animation(frames.size(), UnfoldingFrames::palette());
    int made = 0;
    const bool whole = frames.make([&](const QImage &frame, int delay) {
        animation.addFrame(frame, delay);
        progress.setValue(++made);
        return !progress.wasCanceled();
    });
    return whole ? animation.finish() : QByteArray();
}

QByteArray PictureFile::svg()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setTitle(QStringLiteral("Рисунок"));
    generator.setResolution(96);
    generator.setSize(QSize(PictureBox::insideSize, PictureBox::insideSize));
    generator.setViewBox(QRect(0, 0, PictureBox::insideSize, PictureBox::insideSize));
    QPainter painter(&generator);
    painter.fillRect(generator.viewBoxF(), Qt::white);
    if (!paintFigures(painter, PictureBox::insideSize, QStringLiteral("Сохранение рисунка…")))
        return {};
    painter.end();
    return buffer.data();
}

QPrinter &PictureFile::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void PictureFile::printPicture()
{
    unfolding->finish();
    QPrintDialog dialog(&printer(), window);
    if (dialog.exec() == QDialog::Accepted)
        printOn(printer());
}

// The shapes go first into a recording, which a cancel drops, and only a
// complete one reaches the printer: Qt cannot take back what reached it.
bool PictureFile::printOn(QPrinter &printer)
{
    // The largest square around the page's centre inside the printable area.
    const QRectF page = printer.pageLayout().fullRectPixels(printer.resolution());
    const QRectF printable = printer.pageLayout().paintRectPixels(printer.resolution());
    const QPointF centre = page.center() - printable.topLeft(); // where the painter starts
    const double half = std::min({centre.x(), printable.width() - centre.x(), centre.y(),
                                  printable.height() - centre.y()});
    QPicture picture;
    QPainter recorder(&picture);
    if (!paintFigures(recorder, 2 * half, QStringLiteral("Печать рисунка…")))
        return false;
    recorder.end();
    printer.setDocName(QStringLiteral("Рисунок"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        ErrorReport(window, window->windowTitle(),
                    QStringLiteral("Не удалось начать печать рисунка."));
        return false;
    }
    // A recording plays back enlarged by the printer's resolution over its own.
    painter.translate(centre - QPointF(half, half));
    painter.scale(double(picture.logicalDpiX()) / printer.logicalDpiX(),
                  double(picture.logicalDpiY()) / printer.logicalDpiY());
    painter.drawPicture(0, 0, picture);
    return true;
}

// Paints the figures on the canvas into the square from (0, 0) to (side, side),
// strokes as thick relative to it as on the screen. Returns false when cancelled.
bool PictureFile::paintFigures(QPainter &painter, double side, const QString &work)
{
    QProgressDialog progress(work, QStringLiteral("Отмена"), 0, 1000, window);
    showProgress(progress);
    qint64 shapes = 0;
    for (const FigureHistory::Figure &figure : history.onCanvas())
        shapes += figure.counts.shapes();
    painter.setClipRect(QRectF(0, 0, side, side));
    // As on the screen, where a stroke through pixel x fills the pixel from x to x + 1.
    const double penWidth = side / PictureBox::insideSize;
    painter.translate(penWidth / 2, penWidth / 2);
    PainterCanvas onPainter(&painter, side, penWidth);
    ProgressCanvas counted(onPainter, progress, shapes);
    history.draw(counted);
    return !progress.wasCanceled();
}

// The dialog shows once the work has taken progressAfter milliseconds.
void PictureFile::showProgress(QProgressDialog &progress) const
{
    // Titled with its work, not with the program's name.
    QString title = progress.labelText();
    progress.setWindowTitle(title.remove(u'…'));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(progressAfter);
    progress.setValue(0);
}
