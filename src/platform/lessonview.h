#pragma once

#include "lessonlayout.h"

#include <QBoxLayout>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

class CallsWindow;
class OwnProcedureWindow;
class ProgramScale;
class QAction;
class QWidget;

// The parts of a program's window as the lesson view lays them out: the title over the
// picture, the picture as large as the room allows, the controls in rows under it, each
// at its size, and the notes under them.
struct LessonParts
{
    QWidget *title = nullptr;
    QWidget *picture = nullptr;
    bool square = false;
    // Gives the picture its size in the view; on leaving, the scale gives it back its own.
    std::function<void(QSize)> resizePicture;
    QList<QWidget *> controls;
    QWidget *notes = nullptr;
};

// "Урок на весь экран" (F11, in every window of the program): the program fills its
// screen, one surface with no frame, for the projector. The program's window stands
// on the left with its picture as large as fits; the calls window's parts and "Своя
// процедура", while open, take the rest of the width at the largest text that leaves the
// picture large. The scale keys change that text within what fits. The calls window and
// "Своя процедура" join the view where there is no room for them beside the program's
// window. F11 again, the item, or closing the program leaves the view, and the windows are
// where they were.
class LessonView : public QObject
{
    Q_OBJECT

public:
    LessonView(QWidget *window, ProgramScale *scale, LessonParts parts);
    ~LessonView() override;

    QAction *action() const { return item; }
    bool active() const { return surface != nullptr; }
    // The text of the calls window and of "Своя процедура" in percent while in the view.
    int textPercent() const { return percent; }

public slots:
    void enter();
    void leave();
    // The part (the calls window, "Своя процедура") has no room beside the program's window.
    void join(QWidget *part);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LessonMeasures measures() const;
    void apply(const LessonLayout &layout);
    void choose();
    void stepPercent(int by);
    void settle();
    bool callsShown() const;
    bool ownShown() const;

    QWidget *window;
    ProgramScale *scale;
    LessonParts parts;
    QAction *item;
    QPointer<CallsWindow> calls;
    QPointer<OwnProcedureWindow> own;
    QPointer<QWidget> surface;
    // Where the windows stood before the view, their frames included.
    QRect windowFrame, callsFrame, ownFrame;
    QSize callsSize, ownSize;
    int callsPercent = 100, ownPercent = 100;
    QBoxLayout::Direction callsDirection = QBoxLayout::TopToBottom;
    bool settling = false; // just after leaving, while a window manager frames the windows
    int percent = 100;
};
