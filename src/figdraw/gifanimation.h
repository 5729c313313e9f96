#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>

#include <vector>

struct GifFileType;

// An animated GIF made in memory with giflib, looping for ever: frames of one
// size over one fixed palette, with no dithering and no search for colours.
// Each frame is stored as the rectangle that changed since the frame before,
// the pixels inside it that stayed the same left transparent.
class GifAnimation
{
public:
    // At most 255 colours: one index more is the transparent one. A pixel of a
    // colour not in the palette becomes the palette's first colour.
    GifAnimation(QSize size, const QList<QRgb> &palette);
    ~GifAnimation();
    GifAnimation(const GifAnimation &) = delete;
    GifAnimation &operator=(const GifAnimation &) = delete;

    // Adds a frame of the animation's size, shown for delay milliseconds (in
    // hundredths of a second, as a GIF keeps them).
    void addFrame(const QImage &frame, int delay);
    // Ends the animation and gives its bytes; empty if giflib failed.
    QByteArray finish();

private:
    QRect changedArea() const;

    QByteArray bytes;
    GifFileType *gif = nullptr;
    bool failed = false;
    QSize size;
    QHash<QRgb, uchar> indexOf;
    uchar transparent;
    std::vector<uchar> pixels, previous; // palette indices, row by row; previous empty at first
};
