#pragma once

#include "figurehistory.h"
#include "figurerecord.h"
#include "paintercanvas.h"

#include <QImage>

#include <functional>

enum class Pace;

// The frames of the last figure on the canvas unfolding, made from the
// figure history, as figdraw saves them in an animated GIF: first the canvas
// before that figure, 1 s; then one frame for each step that drew (at most
// 200, frame k showing the steps up to ceil(k * S / 200) of S), the frame's
// new steps marked over in opaque orange as wide as the screen's mark, each
// for the step delay; last the whole figure unmarked, as the canvas shows it,
// 3 s. Each frame is side by side pixels, with strokes strokeWidth pixels wide,
// as the canvas draws at that size, whatever the screen's density.
class UnfoldingFrames
{
public:
    static constexpr int mostSteppedFrames = 200;
    static constexpr int firstDelay = 1000, lastDelay = 3000; // milliseconds

    // How long a step's frame shows at a pace, in milliseconds: 50 at "сразу" and
    // "быстро", 500 at "медленно", 1 000 at "по шагам" and "по строкам", so that the
    // class has the time to follow a step it would take by hand.
    static int stepDelayAt(Pace pace);

    // onCanvas: the figures on the canvas, oldest first, at least one. Draws the
    // earlier ones and records the last one again, in its colours.
    UnfoldingFrames(std::span<const FigureHistory::Figure> onCanvas, int side, int strokeWidth,
                    int stepDelay);
    UnfoldingFrames(const UnfoldingFrames &) = delete;
    UnfoldingFrames &operator=(const UnfoldingFrames &) = delete;

    int count() const;
    QSize size() const { return image.size(); }
    // Gives the frames in order, each with how long it shows, in milliseconds;
    // stops when frame returns false, and then returns false.
    bool make(const std::function<bool(const QImage &frame, int delay)> &frame);
    // Every colour a frame can hold: the canvas's 16 (white among them) and the mark's.
    static QList<QRgb> palette();

private:
    QImage image; // the canvas as the figure unfolds
    QPainter painter;
    PainterCanvas canvas;
    ReplayedColours colours;
    Figures figures;
    FigureRecord record;
    int strokeWidth;
    int stepDelay;
};
