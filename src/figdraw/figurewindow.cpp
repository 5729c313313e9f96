#include "figurewindow.h"

#include "canvasmenu.h"
#include "captionbutton.h"
#include "figurecalls.h"
#include "lessonview.h"
#include "ownfigure.h"
#include "ownprocedure.h"
#include "picturebox.h"
#include "programscale.h"
#include "sizeprompt.h"
#include "unfolding.h"

#include <QLabel>

namespace figdraw {

Form1::Form1(RandomColours &colours, QWidget *parent)
    : QWidget(parent), Picture1(new PictureBox(this)), keptColours(colours),
      figures(*Picture1, keptColours), programScale(new ProgramScale(this, {9450, 7965}))
{
    setWindowTitle(QStringLiteral("Form1"));

    programScale->place(Picture1, {360, 960, 5895, 5895});
    Picture1->setAccessibleName(QStringLiteral("Рисунок"));
    Command1 = addButton(QStringLiteral("Окружности по горизонтали"), {6720, 1200, 1935, 615}, 9.75,
                         false);
    Command2 = addButton(QStringLiteral("Снежинка"), {6720, 2880, 1935, 615}, 9.75, false);
    Command3 = addButton(QStringLiteral("Сброс"), {1080, 7080, 1935, 615}, 12, true);
    Command4 = addButton(QStringLiteral("Выход"), {3600, 7080, 1935, 615}, 12, true);
    Command5 = addButton(QStringLiteral("Снежинка 6-конечная"), {6720, 3720, 1935, 615}, 9.75,
                         false);
    Command6 = addButton(QStringLiteral("Салфетка Серпинского"), {6720, 4560, 1935, 615}, 9.75,
                         false);
    Label1 = new QLabel(QStringLiteral("Построение рекурсивных изображений"), this);
    programScale->place(Label1, {1200, 240, 6975, 495}, 13.5, true);
    Label1->setAlignment(Qt::AlignCenter);
    Command7 = addButton(QStringLiteral("Окружности по вертикали"), {6720, 2040, 1935, 615}, 9.75,
                         false);
    Command8 = addButton(QStringLiteral("Окружности по диагонали"), {6720, 5400, 1935, 615}, 9.75,
                         false);
    Label2 = new QLabel(this);
    programScale->place(Label2, {6720, 6240, 1935, 1455}, 9.75, false);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);

    setTabOrder(Picture1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Command5);
    setTabOrder(Command5, Command6);
    setTabOrder(Command6, Command7);
    setTabOrder(Command7, Command8);

    // The menu of the canvas: the picture's items, the pace, the scale and the calls window.
    // A figure button first finishes the figure that is unfolding, then does its own work.
    unfolding = new Unfolding(this, QStringLiteral("Рисовать"));
    calls = new FigureCalls(this, Picture1, record, figures.counter, unfolding);
    canvasMenu = new CanvasMenu(this, history, unfolding, Picture1,
                                [this] { return pictureAtNormalSize(); });
    auto *lessonView = new LessonView(
            this, programScale,
            {Label1,
             Picture1,
             true,
             [this](QSize side) { Picture1->resizeTo(side.width()); },
             {Command1, Command7, Command8, Command2, Command5, Command6, Command3, Command4},
             Label2});
    ownProcedure = new OwnProcedure(
            OwnProgram::Figures, this,
            [this](const std::shared_ptr<const OwnRun> &run) { drawOwnFigure(run); });
    canvasMenu->fill(Picture1->menu(),
                     {unfolding->paceActions(),
                      programScale->actions() << lessonView->action(),
                      {ownProcedure->showAction(), calls->showAction(), calls->drawnTreeAction()}});
    connect(canvasMenu, &CanvasMenu::historyMoved, this, &Form1::redraw);
    connect(programScale, &ProgramScale::changed, Picture1, &PictureBox::rescale);
    Picture1->setRedraw([this] {
        drawAgain(*Picture1);
        calls->repaint();
    });
    connect(Picture1, &PictureBox::clicked, unfolding, &Unfolding::step);
    connect(Picture1, &PictureBox::ctrlClicked, calls, &FigureCalls::goToShapeAt);
    for (QPushButton *button : {Command1, Command2, Command5, Command6, Command7, Command8})
        connect(button, &QPushButton::clicked, unfolding, &Unfolding::finish);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
}

CaptionButton *Form1::addButton(const QString &text, QRect twips, double points, bool bold)
{
    auto *button = new CaptionButton(text, this);
    programScale->place(button, twips, points, bold);
    return button;
}

// The steps each circle chain starts with: the centre, the radius, the coordinate system.
bool Form1::startCircleChain()
{
    x = 100;
    y = 100;
    if (!askSize(QStringLiteral("Введите R<40"), circleChainGrowth, Shape::Circle, R))
        return false;
    setScale(0, 0, 200, 200);
    return true;
}

// The steps each snowflake starts with: the centre, the length, the centred coordinate system.
bool Form1::startSnowflake(const QString &prompt, const Growth &growth)
{
    x = 0;
    y = 0;
    if (!askSize(prompt, growth, Shape::Line, d))
        return false;
    setScale(-100, 100, 100, -100);
    return true;
}

// Horizontal circles.
void Form1::Command1_Click()
{
    if (startCircleChain())
        drawFigure(&Figures::Ris1, R);
}

// Vertical circles.
void Form1::Command7_Click()
{
    if (startCircleChain())
        drawFigure(&Figures::Ris2, R);
}

// Diagonal circles, at the angle Pi / 4.
void Form1::Command8_Click()
{
    if (!startCircleChain())
        return;
    figures.Pi = 3.14157f;
    drawFigure(&Figures::Diag, R);
}

// Four-armed snowflake.
void Form1::Command2_Click()
{
    if (startSnowflake(QStringLiteral("Введите длину луча d<100"), snowflakeGrowth))
        drawFigure(&Figures::Ris, d);
}

// Six-armed snowflake.
void Form1::Command5_Click()
{
    if (startSnowflake(QStringLiteral("Введите d<80"), snowflake6Growth))
        drawFigure(&Figures::Ris3, d);
}

// Sierpinski triangle: fixed start, no prompt.
void Form1::Command6_Click()
{
    setScale(0, 0, 100, 100);
    x = 50;
    y = 0;
    d = 100;
    drawFigure(&Figures::Treug, d);
}

// Reset.
void Form1::Command3_Click()
{
    history.reset();
    canvasMenu->updateItems();
    calls->clear();
    Picture1->ClearCanvas();
    Label2->clear();
}

// Exit.
void Form1::Command4_Click()
{
    close();
}

// Asks for the figure's size; see askFigureSize.
bool Form1::askSize(const QString &prompt, const Growth &growth, Shape shape, double &size)
{
    const std::optional<double> asked = askFigureSize(this, prompt, growth, shape == Shape::Circle);
    if (asked)
        size = *asked;
    return asked.has_value();
}

void Form1::setScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2)
{
    scale = {x1, y1, x2, y2};
    Picture1->SetScale(x1, y1, x2, y2);
}

// Draws a figure from the start point, keeps it in the history and shows how its
// procedure recursed.
void Form1::drawFigure(Procedure procedure, double size)
{
    runFigure(procedure, size, unfolding->pace() != Pace::AtOnce);
    history.add({procedure,
                 scale,
                 x,
                 y,
                 size,
                 figures.Pi,
                 figures.counter,
                 std::exchange(keptColours.kept, {}),
                 {}});
    canvasMenu->updateItems();
}

// Runs the figure procedure. A figure that unfolds, or whose calls the calls window
// shows, runs in full into the record, and the canvas then receives it call by call.
void Form1::runFigure(Procedure procedure, double size, bool unfolds)
{
    const Shape shape = shapeOf(procedure);
    figures.counter.reset();
    Picture1->markFollowingShapes(false);
    const auto counts = [this, shape](qint64 made, int depth, qint64 shapes) {
        showCounts(shape, made, depth, shapes);
    };
    const bool recorded
            = calls->beginFigure(unfolds, figureCount(growthOf(procedure), size), counts);
    if (recorded)
        figures.drawOn(record);
    (figures.*procedure)(x, y, size);
    figures.drawOn(*Picture1);
    if (!recorded) {
        showCounts(shape, figures.counter);
        return;
    }
    calls->endFigure();
    unfold(shape, figures.counter, unfolds);
}

// The class's own figure comes whole from its run into the record, its calls with it.
void Form1::drawOwnFigure(const std::shared_ptr<const OwnRun> &run)
{
    unfolding->finish(); // as a figure button finishes what unfolds first
    auto own = std::make_shared<const OwnFigure>(ownFigure(*run));
    setScale(own->scale[0], own->scale[1], own->scale[2], own->scale[3]);
    Picture1->markFollowingShapes(false);
    const Shape shape = own->onlyCircles ? Shape::Circle : Shape::Line;
    calls->beginOwnFigure(run, qsizetype(run->shapes().size() - own->shapes.size()),
                          [this, shape](qint64 made, int depth, qint64 shapes) {
                              showCounts(shape, made, depth, shapes);
                          });
    record.take(own->shapes, own->steps);
    history.add({nullptr, scale, 0, 0, 0, 0, own->counts, {}, own});
    canvasMenu->updateItems();
    unfold(shape, own->counts, unfolding->pace() != Pace::AtOnce);
}

void Form1::unfold(Shape shape, const RecursionCounter &totals, bool unfolds)
{
    unfolding->start(
            qsizetype(record.steps().size()),
            [this, shape, totals](qsizetype first, qsizetype last) {
                showSteps(shape, totals, first, last);
            },
            calls->rewinder());
    if (!unfolds)
        unfolding->finish();
}

// Paints the shapes of the calls first ... last - 1 and tells how far the figure has come:
// the calls made up to the last call drawn, its depth, the shapes so far; at the end, the totals.
void Form1::showSteps(Shape shape, const RecursionCounter &totals, qsizetype first, qsizetype last)
{
    Picture1->markFollowingShapes(unfolding->pace() == Pace::Stepwise && last - first == 1);
    calls->paint(first, last);
    if (last < qsizetype(record.steps().size())) {
        const FigureRecord::Step &step = record.steps()[last - 1];
        showCounts(shape, step.call, step.depth, step.end);
    } else {
        showCounts(shape, totals);
    }
    calls->follow(last);
}

void Form1::showCounts(Shape shape, qint64 calls, int depth, qint64 shapes)
{
    Label2->setText(QStringLiteral("Вызовов: %1\nГлубина: %2\n%3: %4")
                            .arg(calls)
                            .arg(depth)
                            .arg(shape == Shape::Circle ? QStringLiteral("Окружностей")
                                                        : QStringLiteral("Линий"))
                            .arg(shapes));
}

void Form1::showCounts(Shape shape, const RecursionCounter &counts)
{
    showCounts(shape, counts.calls(), counts.deepest(), counts.shapes());
}

const Growth &Form1::growthOf(Procedure procedure)
{
    if (procedure == &Figures::Ris)
        return snowflakeGrowth;
    if (procedure == &Figures::Ris3)
        return snowflake6Growth;
    if (procedure == &Figures::Treug)
        return triangleGrowth;
    return circleChainGrowth;
}

Form1::Shape Form1::shapeOf(const FigureHistory::Figure &figure)
{
    if (figure.own)
        return figure.own->onlyCircles ? Shape::Circle : Shape::Line;
    return shapeOf(figure.procedure);
}

Form1::Shape Form1::shapeOf(Procedure procedure)
{
    const bool chain = procedure == &Figures::Ris1 || procedure == &Figures::Ris2
            || procedure == &Figures::Diag;
    return chain ? Shape::Circle : Shape::Line;
}

// Shows what the history has on the canvas, and how its last figure recursed. With
// the calls window open, the last figure runs again for its calls, in its own colours.
void Form1::redraw()
{
    calls->clear(); // the calls shown were those of a figure drawn before
    Picture1->ClearCanvas();
    const auto onCanvas = history.onCanvas();
    // The class's own figure is not run again: its code may draw differently.
    const bool again = calls->isOpen() && !onCanvas.empty() && onCanvas.back().procedure;
    FigureHistory::draw(onCanvas.first(onCanvas.size() - (again ? 1 : 0)), *Picture1);
    if (again) {
        const FigureHistory::Figure &last = onCanvas.back();
        setScale(last.scale[0], last.scale[1], last.scale[2], last.scale[3]);
        std::tie(x, y, figures.Pi) = std::tuple(last.x, last.y, last.pi);
        keptColours.replay(last.randoms);
        runFigure(last.procedure, last.size, false);
        keptColours.endReplay();
    }
    if (onCanvas.empty())
        Label2->clear();
    else
        showCounts(shapeOf(onCanvas.back()), onCanvas.back().counts);
    canvasMenu->updateItems();
}

// The figures on the canvas drawn again; a figure unfolding, or gone back into, is left to
// its record, with the canvas in its coordinate system.
void Form1::drawAgain(Canvas &canvas)
{
    const bool fromRecord = !record.steps().empty();
    const auto onCanvas = history.onCanvas();
    FigureHistory::draw(onCanvas.first(onCanvas.size() - (fromRecord && !onCanvas.empty() ? 1 : 0)),
                        canvas);
    if (fromRecord)
        canvas.SetScale(scale[0], scale[1], scale[2], scale[3]);
}

// What the canvas shows, drawn as at 100 %: copying and saving give the same picture at any scale.
QImage Form1::pictureAtNormalSize()
{
    if (Picture1->percent() == 100)
        return Picture1->picture();
    const qreal ratio = Picture1->devicePixelRatioF();
    QImage picture(QSize(PictureBox::insideSize, PictureBox::insideSize) * ratio,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    PainterCanvas canvas(&painter, PictureBox::insideSize, 1);
    drawAgain(canvas);
    calls->replayShown(canvas);
    return picture;
}

} // namespace figdraw
