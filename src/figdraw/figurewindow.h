#pragma once

#include "figurehistory.h"
#include "figurerecord.h"
#include "figuresize.h"

#include <QWidget>

#include <memory>

class CanvasMenu;
class CaptionButton;
class FigureCalls;
class OwnProcedure;
class OwnRun;
class PictureBox;
class ProgramScale;
class QLabel;
class Unfolding;

namespace figdraw {

// The figure window: the canvas, six figure buttons, reset and exit.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // The triangle's colours come from colours, which must outlive the window.
    explicit Form1(RandomColours &colours, QWidget *parent = nullptr);

    PictureBox *Picture1;
    CaptionButton *Command1; // horizontal circles
    CaptionButton *Command2; // snowflake
    CaptionButton *Command3; // reset
    CaptionButton *Command4; // exit
    CaptionButton *Command5; // six-armed snowflake
    CaptionButton *Command6; // Sierpinski triangle
    QLabel *Label1;          // title
    CaptionButton *Command7; // vertical circles
    CaptionButton *Command8; // diagonal circles
    QLabel *Label2;          // how the last figure recursed

    // Shows the figure the class's own code drew, as a built-in figure is shown.
    void drawOwnFigure(const std::shared_ptr<const OwnRun> &run);

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();

private:
    enum class Shape { Circle, Line };
    using Procedure = FigureHistory::Procedure;

    bool startCircleChain();
    bool startSnowflake(const QString &prompt, const Growth &growth);
    bool askSize(const QString &prompt, const Growth &growth, Shape shape, double &size);
    void setScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2);
    void drawFigure(Procedure procedure, double size);
    void runFigure(Procedure procedure, double size, bool unfolds);
    void unfold(Shape shape, const RecursionCounter &totals, bool unfolds);
    void showSteps(Shape shape, const RecursionCounter &totals, qsizetype first, qsizetype last);
    void showCounts(Shape shape, qint64 calls, int depth, qint64 shapes);
    void showCounts(Shape shape, const RecursionCounter &counts);
    static Shape shapeOf(Procedure procedure);
    static Shape shapeOf(const FigureHistory::Figure &figure);
    static const Growth &growthOf(Procedure procedure);
    void redraw();
    void drawAgain(Canvas &canvas);
    QImage pictureAtNormalSize();
    CaptionButton *addButton(const QString &text, QRect twips, double points, bool bold);

    // Keeps the triangle's random numbers for the history.
    KeptColours keptColours;
    Figures figures;
    // A figure that unfolds, or whose calls are shown, is drawn into the record first.
    FigureRecord record{figures.counter};
    Unfolding *unfolding;
    FigureHistory history;
    CanvasMenu *canvasMenu;
    FigureCalls *calls;
    OwnProcedure *ownProcedure;
    ProgramScale *programScale;
    // The coordinate system, start point and size of the figure being drawn.
    std::array<qint16, 4> scale{};
    double x = 0;
    double y = 0;
    double R = 0;
    double d = 0;
};

} // namespace figdraw
