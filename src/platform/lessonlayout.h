#pragma once

#include <QBoxLayout>
#include <QList>
#include <QRect>

#include <functional>

// What the lesson view lays out, measured: the screen, the program's parts at their sizes,
// and the least sizes of the calls window's parts and of "Своя процедура" at a text size
// (null where they are not shown).
struct LessonMeasures
{
    QSize screen;
    int titleHeight = 0; // 0: no title
    bool square = false; // a square picture
    QSize cell;          // each control's cell, the largest control's size
    int controls = 0;
    int notesHeight = 0; // 0: no notes
    std::function<QSize(int percent, QBoxLayout::Direction direction)> callsLeast;
    std::function<QSize(int percent)> ownLeast;
};

// Where each part stands on the surface: the program's window on the left, its title over
// the picture, the picture as large as the room allows, the controls' cells in rows under
// it and the notes under them; the calls window's parts over "Своя процедура" on the right.
struct LessonLayout
{
    int percent = 100; // the text size of the parts on the right
    // The calls window's parts one under another, or side by side where that leaves room
    // for "Своя процедура" under them.
    QBoxLayout::Direction direction = QBoxLayout::TopToBottom;
    QRect window, title, picture, notes, calls, own;
    QList<QRect> controls;
    // Whether each part on the right has at least its least size.
    bool partsWhole = true;

    int pictureSide() const { return std::min(picture.width(), picture.height()); }
};

// The layout at a text size of the parts on the right.
LessonLayout layOutLesson(const LessonMeasures &measures, int percent);
// The largest text that keeps the parts whole and the picture about two thirds of the
// screen's height, else at least the size of the canvas at 100 %, else the smallest text
// that keeps them whole.
LessonLayout largestLessonText(const LessonMeasures &measures);
// The text one step larger (by 1) or smaller (-1), where the parts stay whole and the picture
// at least as large as the canvas at 100 %; else the layout at percent.
LessonLayout stepLessonText(const LessonMeasures &measures, int percent, int by);
