#include "picturefile.h"

#include "errorreport.h"
#include "numberreader.h"
#include "picturebox.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Writes the picture as a PNG file and returns the system's reason when that
// fails. QSaveFile writes beside the chosen name and renames only a complete
// file into place. Writing unbuffered, in a loop, lets a write that a full disk
// cut short show as a failure, which a buffered write would not report.
QString writePng(const QImage &picture, const QString &path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qsizetype done = 0; done < png.size();) {
        const qint64 written = file.write(png.constData() + done, png.size() - done);
        if (written <= 0) {
            QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        done += written;
    }
    return file.commit() ? QString() : file.errorString();
}

} // namespace

PictureFile::PictureFile(QWidget *window, PictureBox *canvas)
    : QObject(window), copy(new QAction(QStringLiteral("Копировать рисунок"), window)),
      save(new QAction(QStringLiteral("Сохранить рисунок…"), window)), window(window),
      canvas(canvas)
{
    copy->setShortcut(QKeySequence::Copy);
    save->setShortcut(QKeySequence::Save);
    window->addActions({copy, save}); // so that the shortcuts work wherever the focus is
    connect(copy, &QAction::triggered, this, &PictureFile::copyPicture);
    connect(save, &QAction::triggered, this, &PictureFile::savePicture);
}

void PictureFile::copyPicture()
{
    QGuiApplication::clipboard()->setImage(canvas->picture());
}

void PictureFile::savePicture()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    QFileDialog dialog(window, QStringLiteral("Сохранить рисунок"),
                       QDir(folder).filePath(QStringLiteral("рисунок.png")),
                       QStringLiteral("PNG (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const QString reason = writePng(canvas->picture(), path);
    if (!reason.isEmpty())
        ErrorReport(window, window->windowTitle(),
                    QStringLiteral("Не удалось сохранить рисунок «%1»: %2.")
                            .arg(quotedInput(path), reason));
}
