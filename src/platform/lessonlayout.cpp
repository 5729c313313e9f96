#include "lessonlayout.h"

#include <algorithm>
#include <array>

namespace {

constexpr int margin = 12; // around the surface's parts
constexpr int gap = 8;     // between them
// The text sizes of the parts on the right, in percent.
constexpr std::array<int, 10> textSteps{75, 80, 90, 100, 125, 150, 175, 200, 250, 300};
// The picture at least as large as the canvas at 100 %, and where the screen allows,
// about two thirds of its height.
constexpr int leastPicture = 393;
constexpr double wantedShare = 0.65;

// The picture, the controls and the notes within the room, from its top.
void layOutProgram(const LessonMeasures &measures, QRect room, LessonLayout &layout)
{
    const QSize cell = measures.cell;
    const int columns = std::max(1, (room.width() + gap) / (cell.width() + gap));
    const int rows = (measures.controls + columns - 1) / columns;
    const int titleHeight = measures.titleHeight > 0 ? measures.titleHeight + gap : 0;
    const int notesHeight = measures.notesHeight > 0 ? measures.notesHeight + gap : 0;
    const int height = room.height() - titleHeight - rows * (cell.height() + gap) - notesHeight;
    const QSize picture = measures.square
            ? QSize(1, 1) * std::max(0, std::min(room.width(), height))
            : QSize(room.width(), std::max(0, height));
    int y = room.top();
    if (measures.titleHeight > 0) {
        layout.title = {room.left(), y, picture.width(), measures.titleHeight};
        y += titleHeight;
    }
    layout.picture = {QPoint(room.left(), y), picture};
    y += picture.height() + gap;
    layout.controls.clear();
    for (int i = 0; i < measures.controls; ++i)
        layout.controls << QRect(QPoint(room.left() + i % columns * (cell.width() + gap),
                                        y + i / columns * (cell.height() + gap)),
                                 cell);
    y += rows * (cell.height() + gap);
    if (measures.notesHeight > 0)
        layout.notes = {room.left(), y, room.width(), measures.notesHeight};
}

// The layout with the calls window's parts arranged so.
LessonLayout layOutIn(const LessonMeasures &measures, int percent, QBoxLayout::Direction direction)
{
    LessonLayout layout;
    layout.percent = percent;
    layout.direction = direction;
    const QSize calls = measures.callsLeast ? measures.callsLeast(percent, direction) : QSize();
    const QSize own = measures.ownLeast ? measures.ownLeast(percent) : QSize();
    const int rightWidth = std::max(calls.width(), own.width());
    QRect room(margin, margin, measures.screen.width() - 2 * margin,
               measures.screen.height() - 2 * margin);
    if (rightWidth > 0)
        room.setWidth(room.width() - rightWidth - margin);
    layOutProgram(measures, room, layout);
    // A square picture limited by the height leaves the rest of the width to the right.
    if (measures.square && rightWidth > 0) {
        int used = layout.picture.width();
        for (const QRect &cell : std::as_const(layout.controls))
            used = std::max(used, cell.right() + 1 - room.left());
        room.setWidth(std::min(room.width(), used));
        layOutProgram(measures, room, layout);
    }
    layout.window = {0, 0, room.right() + 1 + margin, measures.screen.height()};
    if (rightWidth == 0)
        return layout;
    const QRect right(
            QPoint(layout.window.right() + 1, margin),
            QPoint(measures.screen.width() - 1 - margin, measures.screen.height() - 1 - margin));
    // The calls window's parts over "Своя процедура", each given its least height and half of
    // what is left.
    const int spare = right.height() - calls.height() - own.height()
            - (calls.isEmpty() || own.isEmpty() ? 0 : gap);
    if (!calls.isEmpty()) {
        const int height = own.isEmpty() ? right.height() : calls.height() + std::max(0, spare) / 2;
        layout.calls = {right.topLeft(), QSize(right.width(), std::min(right.height(), height))};
    }
    if (!own.isEmpty()) {
        const int top = calls.isEmpty() ? right.top() : layout.calls.bottom() + 1 + gap;
        layout.own = QRect(QPoint(right.left(), top), right.bottomRight());
    }
    layout.partsWhole = spare >= 0 && right.width() >= rightWidth;
    return layout;
}

} // namespace

LessonLayout layOutLesson(const LessonMeasures &measures, int percent)
{
    LessonLayout under = layOutIn(measures, percent, QBoxLayout::TopToBottom);
    if (under.partsWhole || !measures.callsLeast || !measures.ownLeast)
        return under;
    LessonLayout beside = layOutIn(measures, percent, QBoxLayout::LeftToRight);
    return beside.partsWhole ? beside : under;
}

LessonLayout largestLessonText(const LessonMeasures &measures)
{
    const int wanted = int(measures.screen.height() * wantedShare);
    for (int least : {wanted, leastPicture})
        for (auto step = textSteps.size(); step-- > 0;) { // the largest text first
            LessonLayout layout = layOutLesson(measures, textSteps[step]);
            if (layout.partsWhole && layout.pictureSide() >= least)
                return layout;
        }
    for (int percent : textSteps) { // the largest picture that leaves the parts whole
        LessonLayout layout = layOutLesson(measures, percent);
        if (layout.partsWhole)
            return layout;
    }
    return layOutLesson(measures, textSteps.front());
}

LessonLayout stepLessonText(const LessonMeasures &measures, int percent, int by)
{
    const auto at = std::find(textSteps.begin(), textSteps.end(), percent) - textSteps.begin();
    const auto next = std::clamp<qsizetype>(at + by, 0, textSteps.size() - 1);
    LessonLayout layout = layOutLesson(measures, textSteps[next]);
    if (layout.partsWhole && (by < 0 || layout.pictureSide() >= leastPicture))
        return layout;
    return layOutLesson(measures, percent);
}
