#include "gifanimation.h"

#include <gif_lib.h>

#include <cstring>

namespace {

int appended(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

} // namespace

GifAnimation::GifAnimation(QSize size, const QList<QRgb> &palette)
    : gif(EGifOpen(&bytes, appended, nullptr)), size(size), transparent(uchar(palette.size()))
{
    // A GIF palette holds a power of two colours, at least two.
    int bits = 1;
    while ((1 << bits) < palette.size() + 1)
        ++bits;
    std::vector<GifColorType> colours(std::size_t(1) << bits, GifColorType{0, 0, 0});
    for (qsizetype i = palette.size() - 1; i >= 0; --i) {
        const QRgb colour = palette[i];
        colours[std::size_t(i)] = {GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                   GifByteType(qBlue(colour))};
        indexOf[colour | 0xff000000] = uchar(i);
    }
    ColorMapObject *map = GifMakeMapObject(int(colours.size()), colours.data());
    // The loop for ever: the application extension "NETSCAPE2.0" with a count of 0.
    const char netscape[] = "NETSCAPE2.0";
    const GifByteType loop[] = {1, 0, 0};
    if (gif)
        EGifSetGifVersion(gif, true);
    failed = !gif || !map
            || EGifPutScreenDesc(gif, size.width(), size.height(), bits, 0, map) == GIF_ERROR
            || EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR
            || EGifPutExtensionBlock(gif, 11, netscape) == GIF_ERROR
            || EGifPutExtensionBlock(gif, 3, loop) == GIF_ERROR
            || EGifPutExtensionTrailer(gif) == GIF_ERROR;
    GifFreeMapObject(map);
    pixels.resize(std::size_t(size.width()) * std::size_t(size.height()));
}

GifAnimation::~GifAnimation()
{
    if (gif)
        EGifCloseFile(gif, nullptr);
}

void GifAnimation::addFrame(const QImage &frame, int delay)
{
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    QRgb last = 0;
    uchar lastIndex = indexOf.value(last);
    for (int y = 0; y < size.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *row = pixels.data() + std::size_t(y) * std::size_t(size.width());
        for (int x = 0; x < size.width(); ++x) {
            if (line[x] != last) {
                last = line[x];
                lastIndex = indexOf.value(last);
            }
            row[x] = lastIndex;
        }
    }
    QRect area = changedArea();
    if (area.isEmpty())
        area = QRect(0, 0, 1, 1); // a frame holds at least one pixel, here an unchanged one
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, (delay + 5) / 10,
                                 previous.empty() ? NO_TRANSPARENT_COLOR : transparent};
    GifByteType extension[4];
    const auto length = int(EGifGCBToExtension(&control, extension));
    failed = failed || EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, length, extension) == GIF_ERROR
            || EGifPutImageDesc(gif, area.x(), area.y(), area.width(), area.height(), false,
                                nullptr)
                    == GIF_ERROR;
    std::vector<GifPixelType> line(std::size_t(area.width()));
    for (int y = area.top(); !failed && y <= area.bottom(); ++y) {
        const std::size_t start = std::size_t(y) * std::size_t(size.width());
        for (int x = area.left(); x <= area.right(); ++x) {
            const uchar index = pixels[start + std::size_t(x)];
            const bool same = !previous.empty() && previous[start + std::size_t(x)] == index;
            line[std::size_t(x - area.left())] = same ? transparent : index;
        }
        failed = EGifPutLine(gif, line.data(), area.width()) == GIF_ERROR;
    }
    previous.swap(pixels);
    pixels.resize(previous.size());
}

// The bounding rectangle of the pixels that differ from the frame before; all at the first.
QRect GifAnimation::changedArea() const
{
    if (previous.empty())
        return {QPoint(0, 0), size};
    QRect area;
    for (int y = 0; y < size.height(); ++y) {
        const std::size_t start = std::size_t(y) * std::size_t(size.width());
        if (std::memcmp(&pixels[start], &previous[start], std::size_t(size.width())) == 0)
            continue;
        const auto differs = [&](int x) { return pixels[start + x] != previous[start + x]; };
        int left = 0;
        while (left < size.width() && !differs(left))
            ++left;
        if (left == size.width())
            continue;
        int right = size.width() - 1;
        while (!differs(right))
            --right;
        area |= QRect(left, y, right - left + 1, 1);
    }
    return area;
}

QByteArray GifAnimation::finish()
{
    const bool closed = gif && EGifCloseFile(gif, nullptr) == GIF_OK;
    gif = nullptr;
    return closed && !failed ? bytes : QByteArray();
}
