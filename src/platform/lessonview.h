#pragma once

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
// on the left with its picture as large as fits; the calls window's parts, while it is
// open, take the rest of the width at the largest text that leaves the picture large.
// The scale keys change that text within what fits. F11 again, the item, or closing the
// program leaves the view, and the windows are as they were.
class LessonView : public QObject
{
    Q_OBJECT

public:
    LessonView(QWidget *window, ProgramScale *scale, LessonParts parts);
    ~LessonView() override;

    QAction *action() const { return item; }
    bool active() const { return surface != nullptr; }
    // The calls window's text in percent while in the view.
    int textPercent() const { return percent; }

public slots:
    void enter();
    void leave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arrange();
    void choosePercent();
    void stepPercent(int by);
    bool callsShown() const;
    // The room left of the calls window's parts at the text percent, in the surface.
    QRect roomAt(int textPercent) const;
    // The picture's side, or its lesser side, in that room, and where each part goes.
    int pictureSide(QRect room, bool place) const;
    int usedWidth(QRect room) const;
    QSize controlCell() const;

    QWidget *window;
    ProgramScale *scale;
    LessonParts parts;
    QAction *item;
    QPointer<CallsWindow> calls;
    QPointer<OwnProcedureWindow> own;
    QPointer<QWidget> surface;
    QPoint windowAt; // before the view
    bool callsWereOpen = false;
    int percent = 100;
};
