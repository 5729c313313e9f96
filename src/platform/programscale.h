#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>

class QAction;
class QWidget;

// One size for the whole program, for the projector: the main window, its
// controls and fonts, and the program's other windows, each measure times the
// scale. "Крупнее" (Ctrl++ and Ctrl+=), "Мельче" (Ctrl+-) and "Обычный размер"
// (Ctrl+0) step through the scales; their keys work in every window of the
// program. The window's menus, scroll bars and tree arrows grow with it. The window never grows
// past the available area of its screen. Each run starts at 100 %: nothing is kept.
class ProgramScale : public QObject
{
    Q_OBJECT

public:
    static constexpr std::array<int, 7> steps{100, 125, 150, 175, 200, 250, 300};

    // window is the program's main window, laid out in twips of this size.
    ProgramScale(QWidget *window, QSize twips);

    // The scale of the program that widget belongs to: its main window's, or null.
    static ProgramScale *of(const QWidget *widget);
    // The twips geometry in pixels at a scale in percent.
    static QRect fromTwips(QRect twips, int percent);
    // The widget's default font at a scale; at 100 % it inherits its parent's again.
    static void setScaledFont(QWidget *widget, int percent);
    // A window of the program with the default font at the scale of the program it belongs to.
    static void enlarge(QWidget *window, const QWidget *within);

    int percent() const { return percent_; }
    // "Крупнее", "Мельче" and "Обычный размер".
    QList<QAction *> actions() const { return {larger, smaller, normal}; }
    // Keeps the control at this twips geometry and in the form font of these points (0: the
    // default font), at every scale.
    void place(QWidget *control, QRect twips, double points = 0, bool bold = false);
    // While set, "Крупнее", "Мельче" and "Обычный размер" ask it instead to step by 1, -1
    // or back to its start (0): the lesson view's text.
    void setStepper(std::function<void(int by)> stepper);
    // The largest scale at which the window still fits its screen's available area.
    int largestFitting() const;

public slots:
    void setPercent(int percent);

signals:
    // Once the window and its controls have their new geometry.
    void changed(int percent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Placement
    {
        QPointer<QWidget> control;
        QRect twips;
        double points;
        bool bold;
    };
    void apply(const Placement &placement) const;
    void stepBy(int steps);
    void keepOnScreen();
    void updateItems();

    QWidget *window;
    QSize twips;
    int percent_ = 100;
    QList<Placement> placements;
    QAction *larger;
    QAction *smaller;
    QAction *normal;
    std::function<void(int)> stepInstead;
};
