#include "calltreefile.h"

#include "wholefile.h"

#include <QBuffer>
#include <QFileDialog>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgGenerator>

#include <algorithm>

namespace {
constexpr double largestPngSide = 16384; // a larger tree is saved smaller
} // namespace

QString chooseTreeFile(QWidget *parent)
{
    const QString pngType = QStringLiteral("Рисунок PNG (*.png)");
    const QString svgType = QStringLiteral("Рисунок SVG (*.svg)");
    QFileDialog dialog(parent, QStringLiteral("Сохранить дерево"),
                       QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                               + QStringLiteral("/дерево.png"),
                       pngType + u";;"_qs + svgType);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &type) {
        dialog.setDefaultSuffix(type == svgType ? QStringLiteral("svg") : QStringLiteral("png"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString writeCallTree(const QString &path, const CallTreeDrawing &drawing, const DrawnCalls &drawn,
                      const TreeMoment &moment)
{
    const QSizeF whole = drawing.size(drawn);
    const double zoom = std::min(1.0, largestPngSide / std::max(whole.width(), whole.height()));
    const QSize size = (whole * zoom).toSize().expandedTo(QSize(1, 1));
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (path.endsWith(u".svg", Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&bytes);
        svg.setTitle(QStringLiteral("Дерево вызовов"));
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        QPainter painter(&svg);
        painter.fillRect(QRect(QPoint(), size), Qt::white);
        drawing.paint(painter, drawn, moment, QRectF(QPointF(), whole), zoom);
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.paint(painter, drawn, moment, QRectF(QPointF(), whole), zoom);
        painter.end();
        image.save(&bytes, "PNG");
    }
    return writeWholeFile(path, bytes.data());
}
