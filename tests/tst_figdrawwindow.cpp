#include "callswindow.h"
#include "captionbutton.h"
#include "figurewindow.h"
#include "paintercanvas.h"
#include "picturebox.h"
#include "picturefile.h"
#include "procedurepart.h"
#include "programscale.h"
#include "qttexts.h"
#include "windowtest.h"

#include <QAccessible>
#include <QClipboard>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTextLayout>

#include <QTreeView>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

using figdraw::Form1;
using Procedure = void (Figures::*)(double, double, double);

namespace {

// The triangle's colours, the same on every run: the clock stands still.
class StillClock : public RandomColours
{
    float TimeOfDay() override { return 43200.5f; }
};

const QRgb magenta = qRgb(128, 0, 128), blue = qRgb(0, 0, 255);
const QStringList paces{u"сразу"_qs, u"быстро"_qs, u"медленно"_qs, u"по шагам"_qs,
                        u"по строкам"_qs};

// A button, what is typed, the label after it, the figure drawn (system, x, y, size) or the report.
// clang-format off
struct Scenario { QStringList steps; QString counts, picture; bool marked; QPoint markedAt = {}; };
// The heading, the line highlighted (0: none), the figure's first shapes on the canvas (-1: not checked).
// markedAt: a point of the picture the mark covers.
struct LineScenario { QStringList steps; QString heading; int line; QString counts; int shapes; bool marked; QString explained = {}; QPoint markedAt = {}; };
struct Command { int button; std::optional<QString> typed; QString prompt, counts; Procedure procedure = nullptr; QList<double> start = {}; QString report = {}; };
// clang-format on

// Whether two pictures of the same figures look alike, allowing for antialiasing: at a quarter
// of their size no pixel differs much, and they hold about as much ink.
bool alike(const QImage &a, const QImage &b)
{
    const QSize size = a.size() / 4;
    const QImage small = a.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage other = b.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int most = 0;
    qint64 ink = 0, otherInk = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const QRgb p = small.pixel(x, y), q = other.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
            ink += 765 - qRed(p) - qGreen(p) - qBlue(p);
            otherInk += 765 - qRed(q) - qGreen(q) - qBlue(q);
        }
    return a.size() == b.size() && most < 100 && std::abs(ink - otherInk) * 10 < otherInk * 3;
}

} // namespace

// The rows of a view, top to bottom, as a screen reader reads them.
static QStringList rows(QAbstractItemView *view, const QModelIndex &parent = {})
{
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(parent); ++row)
        texts << view->model()->index(row, 0, parent).data(Qt::AccessibleTextRole).toString();
    return texts;
}

class TestFigdrawWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        colours = StillClock();
        form = std::make_unique<Form1>(colours);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        dialogs.emplace();
    }
    // Places, captions, fonts and tab order.
    void layout()
    {
        QCOMPARE(form->windowTitle(), u"Form1"_qs);
        QCOMPARE(form->size(), QSize(630, 531));
        // clang-format off
        const struct { QWidget *widget; QRect geometry; const char *text; double points; bool bold; } controls[] = {
            {form->Command1, {448, 80, 129, 41}, "Окружности по горизонтали", 9.75, false}, {form->Command3, {72, 472, 129, 41}, "Сброс", 12, true},
            {form->Command7, {448, 136, 129, 41}, "Окружности по вертикали", 9.75, false},   {form->Command4, {240, 472, 129, 41}, "Выход", 12, true},
            {form->Command2, {448, 192, 129, 41}, "Снежинка", 9.75, false},                  {form->Label2, {448, 416, 129, 97}, "", 9.75, false},
            {form->Command5, {448, 248, 129, 41}, "Снежинка 6-конечная", 9.75, false},       {form->Picture1, {24, 64, 393, 393}, "", 0, false},
            {form->Command6, {448, 304, 129, 41}, "Салфетка Серпинского", 9.75, false},
            {form->Command8, {448, 360, 129, 41}, "Окружности по диагонали", 9.75, false},
            {form->Label1, {80, 16, 465, 33}, "Построение рекурсивных изображений", 13.5, true},
        };
        // clang-format on
        for (const auto &control : controls) {
            QCOMPARE(control.widget->geometry(), control.geometry);
            auto *button = qobject_cast<CaptionButton *>(control.widget);
            if (auto *label = qobject_cast<QLabel *>(control.widget); label || button) {
                QCOMPARE(button ? button->text() : label->text(), QString::fromUtf8(control.text));
                QCOMPARE(control.widget->font().pointSizeF(), control.points);
                QCOMPARE(control.widget->font().bold(), control.bold);
            }
        }
        QCOMPARE(form->Label1->alignment(), Qt::AlignCenter);
        QTextLayout caption(form->Command5->drawnCaption(), form->Command5->font());
        caption.beginLayout();
        for (QTextLine line = caption.createLine(); line.isValid(); line = caption.createLine())
            line.setLineWidth(form->Command5->captionRect().width());
        caption.endLayout();
        QCOMPARE(caption.lineAt(1).textLength(), 10); // "6-конечная" kept whole
        QCOMPARE(form->Picture1->contentsRect(), QRect(2, 2, 389, 389));
        QCOMPARE(form->Picture1->accessibleName(), u"Рисунок"_qs);
        QVERIFY(inTabOrder({form->Picture1, form->Command1, form->Command2, form->Command3,
                            form->Command4, form->Command5, form->Command6, form->Command7,
                            form->Command8}));

        // The canvas menu, "сразу" chosen at the start; the Menu key opens it too.
        // clang-format off
        QCOMPARE(chooseFromMenu(form->Picture1), (QStringList{u"Копировать рисунок"_qs, u"Сохранить рисунок…"_qs, u"Печать…"_qs, u"Сохранить анимацию…"_qs, {}, u"Отменить рисунок"_qs, u"Вернуть рисунок"_qs, {},
                 u"Рисовать сразу ✓"_qs, u"Рисовать быстро"_qs, u"Рисовать медленно"_qs, u"Рисовать по шагам"_qs, u"Рисовать по строкам"_qs, {},
                 u"Крупнее"_qs, u"Мельче"_qs, u"Обычный размер"_qs, u"Урок на весь экран"_qs, {}, u"Своя процедура…"_qs, u"Показать вызовы"_qs, u"Дерево рисунком"_qs}));
        // clang-format on
        QTest::keyClick(form->Picture1, Qt::Key_Menu);
        QTRY_VERIFY(form->Picture1->menu()->isVisible());
        form->Picture1->menu()->close();
    }
    void figureCommands_data()
    {
        QTest::addColumn<Command>("row");
        // clang-format off
        const QString r = u"Введите R<40"_qs, d = u"Введите длину луча d<100"_qs, d6 = u"Введите d<80"_qs;
        const QString markup = u"<b>"_qs + QString(50, u'x'), decimal = u"33"_qs + QLocale().decimalPoint() + u"75"_qs;
        const QString tooLarge = u"Слишком большой размер: рисунок потребовал бы больше 1\u00A0500\u00A0000 %1."_qs;
        const auto label = [](int calls, int depth, const QString &shape, int shapes) {
            return u"Вызовов: %1\nГлубина: %2\n%3: %4"_qs.arg(calls).arg(depth).arg(shape).arg(shapes);
        };
        const QString circles = u"Окружностей"_qs, lines = u"Линий"_qs, triangle = label(40, 4, lines, 78);
        QTest::newRow("horizontal") << Command{1, u"30"_qs, r, label(15, 4, circles, 7), &Figures::Ris1, {0, 0, 200, 200, 100, 100, 30}};
        QTest::newRow("vertical") << Command{7, decimal, r, label(31, 5, circles, 15), &Figures::Ris2, {0, 0, 200, 200, 100, 100, 33.75}};
        QTest::newRow("diagonal") << Command{8, u"30"_qs, r, label(15, 4, circles, 7), &Figures::Diag, {0, 0, 200, 200, 100, 100, 30}};
        QTest::newRow("snowflake") << Command{2, u"60"_qs, d, label(341, 5, lines, 340), &Figures::Ris, {-100, 100, 100, -100, 0, 0, 60}};
        QTest::newRow("six-armed") << Command{5, u"60"_qs, d6, label(259, 4, lines, 129), &Figures::Ris3, {-100, 100, 100, -100, 0, 0, 60}};
        QTest::newRow("triangle") << Command{6, QString(), QString(), triangle, &Figures::Treug, {0, 0, 100, 100, 50, 0, 100}};
        QTest::newRow("cancel") << Command{1, std::nullopt, r, triangle};
        QTest::newRow("not a number") << Command{2, markup, d, triangle, nullptr, {}, u"Несоответствие типа: «%1…» — не число."_qs.arg(markup.first(40))};
        QTest::newRow("overflow") << Command{5, u"1e400"_qs, d6, triangle, nullptr, {}, u"Переполнение: «1e400» — слишком большое число."_qs};
        QTest::newRow("circles") << Command{8, u"33253"_qs, r, triangle, nullptr, {}, tooLarge.arg(u"окружностей")};
        QTest::newRow("lines") << Command{2, u"5120"_qs, d, triangle, nullptr, {}, tooLarge.arg(u"линий")};
        // clang-format on
    }
    // Over the triangle, a button asks its question and paints its figure, the label
    // (read out as it stands) telling how it recursed; or it reports plainly and changes nothing.
    void figureCommands()
    {
        QFETCH(Command, row);
        drawnAfter(form->Command6, {});
        const QImage drawn = drawnAfter(command(row.button), row.typed);
        const QStringList asked{row.prompt, u"Ввод данных"_qs, {}, u"ОК"_qs, u"Отмена"_qs};
        QCOMPARE(dialogs->asked, row.prompt.isEmpty() ? QStringList() : asked);
        QVERIFY(row.prompt.isEmpty() || dialogs->promptHadFocus);
        QCOMPARE(form->Label2->text(), row.counts);
        QCOMPARE(QAccessible::queryAccessibleInterface(form->Label2)->text(QAccessible::Name),
                 row.counts);
        QCOMPARE(dialogs->reportText, row.report);
        if (!row.report.isEmpty())
            QVERIFY(dialogs->reportTitle == u"Form1" && dialogs->reportFormat == Qt::PlainText
                    && dialogs->reportHadFocus);

        StillClock sameColours;
        PictureBox expected;
        Figures figures(expected, sameColours);
        figures.Pi = 3.14157f;
        expected.SetScale(0, 0, 100, 100);
        figures.Treug(50, 0, 100);
        if (row.procedure) {
            const QList<double> &start = row.start;
            expected.SetScale(qint16(start[0]), qint16(start[1]), qint16(start[2]),
                              qint16(start[3]));
            (figures.*row.procedure)(start[4], start[5], start[6]);
        }
        QCOMPARE(drawn, expected.picture());
        QVERIFY(form->isVisible());
    }
    // The colours, the coordinate systems, chained lines, skipped circles, high density.
    void canvas()
    {
        const QRgb palette[16]
                = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xc0c0c0,
                   0x808080, 0x0000ff, 0x00ff00, 0x00ffff, 0xff0000, 0xff00ff, 0xffff00, 0xffffff};
        for (int index = 0; index < 16; ++index)
            QCOMPARE(PaletteColour(index), palette[index] | 0xff000000);

        PictureBox box;
        box.SetScale(0, 0, 200, 200);
        box.DrawCircle(100, 100, 100, magenta);
        const QImage circle = box.picture();
        QCOMPARE(inkBounds(circle), QRect(0, 0, 389, 389));
        QCOMPARE(circle.pixel(194, 194), white); // an outline, not a disc

        box.ClearCanvas();
        box.SetScale(-100, 100, 100, -100);
        box.DrawLine(0, 0, 0, 50, magenta);
        box.DrawLine(50, 50, blue); // while the same painter is still open
        const QImage lines = box.picture();
        QCOMPARE(inkBounds(lines), QRect(194, 97, 98, 98));
        QCOMPARE(lines.pixel(194, 150), magenta);
        QCOMPARE(lines.pixel(250, 97), blue);

        // Circles just touching, just missing, enclosing the area or far from it: skipped or not,
        // the picture is what painting every one of them gives.
        box.ClearCanvas();
        box.SetScale(0, 0, 200, 200);
        QImage painted(389, 389, QImage::Format_RGB32);
        painted.fill(white);
        QPainter painter(&painted);
        painter.setPen(magenta);
        // clang-format off
        for (const QList<float> &c : {QList<float>{100, 100, 141}, {100, 100, 1e6f}, {-1, 100, 1.5}, {-1, 100, 0.9}, {-50, -50, 3}}) {
            // clang-format on
            box.DrawCircle(c[0], c[1], c[2], magenta);
            painter.drawEllipse(QPointF(c[0], c[1]) * (389.0 / 200), c[2] * (389.0 / 200),
                                c[2] * (389.0 / 200));
        }
        painter.end();
        QCOMPARE(box.picture(), painted);

        // Shown (again with QT_SCALE_FACTOR=2): as many pixels as the screen, kept, sharp.
        box.ClearCanvas();
        box.DrawCircle(100, 100, 100, magenta);
        box.show();
        box.hide();
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const int ratio = int(box.devicePixelRatioF());
        box.DrawLine(0, 100, 200, 100, magenta);
        const QImage picture = box.picture();
        QCOMPARE(box.grab(box.contentsRect()).toImage().convertToFormat(QImage::Format_RGB32),
                 picture);
        QCOMPARE(inkBounds(picture), QRect(QPoint(0, 0), QSize(389, 389) * ratio));
        QList<QRgb> across; // the new stroke, ratio device pixels thick, without blur
        for (int y = picture.height() / 2 - 3; y <= picture.height() / 2 + 3; ++y)
            across << picture.pixel(picture.width() / 3, y);
        QCOMPARE(across.count(magenta), ratio);
        QCOMPARE(across.count(white), 7 - ratio);

        // The mark of a line reaching far beyond the canvas is the mark of its part over it; that
        // of a vast circle shows on its arc over the canvas, and nowhere else.
        const auto marked = [&box](const std::function<void()> &draw) {
            box.ClearCanvas();
            box.markFollowingShapes(true);
            draw();
            return box.grab(box.contentsRect()).toImage();
        };
        QCOMPARE(marked([&] { box.DrawLine(-1e6f, 150, 1e6f, 150, magenta); }),
                 marked([&] { box.DrawLine(-60, 150, 260, 150, magenta); }));
        const QImage arc = marked([&] { box.DrawCircle(100, 1e5f, 1e5f - 150, magenta); });
        QVERIFY(arc.pixel(arc.width() / 2, arc.height() * 3 / 4 + ratio)
                != box.picture().pixel(arc.width() / 2, arc.height() * 3 / 4 + ratio));
        QCOMPARE(arc.pixel(arc.width() / 2, arc.height() / 4), white);
    }
    void scenarios_data()
    {
        // What the user does; then the label, the figures in the picture ("part": the last one
        // unfinished), and whether the screen marks the last step over the picture.
        QTest::addColumn<Scenario>("row");
        // clang-format off
        QTest::newRow("keys and a click step") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"Right"_qs, u"click"_qs}, u"6/3/4"_qs, u"part circles"_qs, true};
        QTest::newRow("a step waits for its key") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"snowflake"_qs, u"Space"_qs, u"wait"_qs}, u"2/2/8"_qs, u"part circles snowflake"_qs, true};
        QTest::newRow("stepped to the end, then at once") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"сразу"_qs, u"snowflake"_qs}, u"341/5/340"_qs, u"circles snowflake"_qs, false};
        QTest::newRow("a step, then at once") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"сразу"_qs}, u"15/4/7"_qs, u"circles"_qs, false};
        QTest::newRow("a figure finishes the last") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"triangle"_qs, u"Space"_qs, u"Esc"_qs}, u"40/4/78"_qs, u"circles triangle"_qs, false};
        QTest::newRow("fast, to the end") << Scenario{{u"быстро"_qs, u"circles"_qs, u"tick<"_qs, u"wait"_qs}, u"15/4/7"_qs, u"circles"_qs, false};
        QTest::newRow("slow, no click, Esc") << Scenario{{u"медленно"_qs, u"snowflake"_qs, u"click"_qs, u"tick>"_qs, u"Esc"_qs}, u"341/5/340"_qs, u"snowflake"_qs, false};
        QTest::newRow("nothing drawn") << Scenario{{u"быстро"_qs, u"tiny"_qs}, u"1/1/0"_qs, {}, false};
        QTest::newRow("reset") << Scenario{{u"быстро"_qs, u"snowflake"_qs, u"reset"_qs, u"wait"_qs}, {}, {}, false};
        QTest::newRow("reset a step") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"wait"_qs, u"reset"_qs}, {}, {}, false};
        QTest::newRow("back at the first step") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Left"_qs}, u"1/1/1"_qs, u"part circles"_qs, true};
        QTest::newRow("back from the end") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs}, u"10/3/6"_qs, u"part circles"_qs, true};
        QTest::newRow("back after Esc, calls shown") << Scenario{{u"calls"_qs, u"по шагам"_qs, u"circles"_qs, u"Esc"_qs, u"Left"_qs}, u"10/3/6"_qs, u"part circles"_qs, true};
        QTest::newRow("one Space too many") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs}, u"15/4/7"_qs, u"circles"_qs, true};
        QTest::newRow("Esc, then Space") << Scenario{{u"медленно"_qs, u"snowflake"_qs, u"Esc"_qs, u"Space"_qs}, u"341/5/340"_qs, u"snowflake"_qs, false};
        QTest::newRow("Right, then Space, at the end") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"focus"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Right"_qs, u"Shift+Right"_qs, u"Space"_qs}, u"15/4/7"_qs, u"circles"_qs, true};
        QTest::newRow("every figure finishes the last") << Scenario{{u"медленно"_qs, u"circles"_qs, u"six-armed"_qs, u"vertical"_qs, u"diagonal"_qs, u"snowflake"_qs, u"triangle"_qs, u"Esc"_qs}, u"40/4/78"_qs, u"circles six-armed vertical diagonal snowflake triangle"_qs, false};
        QTest::newRow("fast, on from a call chosen") << Scenario{{u"calls"_qs, u"быстро"_qs, u"circles"_qs, u"wait"_qs, u"call 2"_qs, u"wait"_qs}, u"15/4/7"_qs, u"circles"_qs, false};
        QTest::newRow("the mark rescaled") << Scenario{{u"по шагам"_qs, u"circles"_qs, u"Space"_qs, u"Крупнее"_qs, u"Крупнее"_qs, u"Мельче"_qs}, u"2/2/2"_qs, u"part circles"_qs, true, {316, 292}};
        QTest::newRow("undo, then Space") << Scenario{{u"calls"_qs, u"по строкам"_qs, u"circles"_qs, u"circles"_qs, u"Space"_qs, u"undo"_qs, u"Space"_qs}, u"15/4/7"_qs, u"circles"_qs, false};
        // clang-format on
    }
    // Paces, steps, Esc, reset and figures mixed as a user mixes them. The keys go to
    // the exit button, which they must never press.
    void scenarios()
    {
        QFETCH(Scenario, row);
        QElapsedTimer sinceFigure;
        for (const QString &step : row.steps) {
            if (commonStep(step, form->Command4, sinceFigure,
                           [&] { return !counts().startsWith(u"1/1/"); }))
                continue;
            if (paces.contains(step))
                chooseFromMenu(form->Picture1, u"Рисовать "_qs + step);
            else if (step == u"click")
                QTest::mouseClick(form->Picture1, Qt::LeftButton);
            else if (step == u"reset")
                form->Command3->click();
            else if (step == u"focus") // on the exit button, in the active window
                QApplication::setActiveWindow(form.get()), form->Command4->setFocus();
            else if (step == u"undo")
                menuItem(form.get(), u"Отменить рисунок"_qs)->trigger();
            else if (QAction *item = menuItem(form.get(), step))
                item->trigger();
            else if (step == u"call 2") // chosen in the tree
                form->findChild<CallsWindow *>()->tree->setCurrentIndex(callTwo());
            else
                draw(*form, step), sinceFigure.start();
        }
        QCOMPARE(counts(), row.counts);
        QStringList figures = row.picture.split(u' ', Qt::SkipEmptyParts);
        const bool part = figures.removeAll(u"part"_qs);
        StillClock sameColours;
        Form1 reference(sameColours); // the same figures, drawn at once
        for (const QString &figure : figures)
            draw(reference, figure);
        const QImage picture = form->Picture1->picture();
        QCOMPARE(picture == reference.Picture1->picture(), !part);
        QVERIFY(!part || (picture != Form1(colours).Picture1->picture()));
        const QImage shown = canvasOnScreen();
        QCOMPARE(shown != picture, row.marked);
        QVERIFY(row.markedAt.isNull() || shown.pixel(row.markedAt) != picture.pixel(row.markedAt));
        QVERIFY(form->isVisible());
    }
    void lineSteps_data()
    {
        QTest::addColumn<LineScenario>("row");
        const QString lines = u"по строкам"_qs;
        const QString finished = u"Все вызовы закончены: 15"_qs;
        // clang-format off
        QTest::newRow("the first call's test") << LineScenario{{lines, u"circles"_qs}, u"Вызов 1 из 15"_qs, 3, u"1/1/0"_qs, 0, false, u"Строка 3. Проверка r < 10: 30 < 10 — нет"_qs};
        QTest::newRow("a drawing line, by a click") << LineScenario{{lines, u"circles"_qs, u"click"_qs}, u"Вызов 1 из 15"_qs, 5, u"1/1/1"_qs, 1, true};
        QTest::newRow("into a call") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Right"_qs, u"Space"_qs}, u"Вызов 2 из 15"_qs, 3, u"2/2/1"_qs, 1, false, u"Строка 3. Проверка r < 10: 20 < 10 — нет"_qs};
        QTest::newRow("a stopping call returns") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs}, u"Вызов 4 из 15"_qs, 4, u"4/4/3"_qs, 3, false};
        QTest::newRow("out to the caller's next line") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs}, u"Вызов 3 из 15"_qs, 7, u"4/3/3"_qs, 3, false};
        QTest::newRow("back into the call") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs}, u"Вызов 4 из 15"_qs, 4, u"4/4/3"_qs, 3, false};
        QTest::newRow("back over a drawing line") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs, u"Left"_qs}, u"Вызов 1 из 15"_qs, 3, u"1/1/0"_qs, 0, false};
        QTest::newRow("back onto a drawing line") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs, u"Left"_qs}, u"Вызов 1 из 15"_qs, 5, u"1/1/1"_qs, 1, true};
        QTest::newRow("back at the first line") << LineScenario{{lines, u"circles"_qs, u"Left"_qs}, u"Вызов 1 из 15"_qs, 3, u"1/1/0"_qs, 0, false};
        QTest::newRow("over a call") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Shift+Space"_qs}, u"Вызов 1 из 15"_qs, 7, u"8/1/4"_qs, 4, false};
        QTest::newRow("over the rest of a call") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Shift+Right"_qs}, u"Вызов 1 из 15"_qs, 7, u"8/1/4"_qs, 4, false};
        QTest::newRow("over the first call") << LineScenario{{lines, u"circles"_qs, u"Shift+Space"_qs}, finished, 0, u"15/4/7"_qs, 7, false};
        QTest::newRow("over, then back") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Shift+Space"_qs, u"Left"_qs}, u"Вызов 2 из 15"_qs, 8, u"8/2/4"_qs, 4, false};
        QTest::newRow("Esc") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Esc"_qs}, finished, 0, u"15/4/7"_qs, 7, false};
        QTest::newRow("back after Esc") << LineScenario{{lines, u"circles"_qs, u"Esc"_qs, u"Left"_qs}, u"Вызов 1 из 15"_qs, 8, u"15/1/7"_qs, 7, false};
        QTest::newRow("to whole calls") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"по шагам"_qs}, u"Вызов 2 из 15"_qs, 5, u"2/2/2"_qs, 2, true};
        QTest::newRow("to whole calls, then a step") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"по шагам"_qs, u"Space"_qs}, u"Вызов 3 из 15"_qs, 5, u"3/3/3"_qs, 3, true};
        QTest::newRow("from whole calls") << LineScenario{{u"calls"_qs, u"по шагам"_qs, u"circles"_qs, u"Space"_qs, lines, u"Space"_qs}, u"Вызов 2 из 15"_qs, 6, u"2/2/2"_qs, 2, false};
        QTest::newRow("a figure without its calls") << LineScenario{{u"по шагам"_qs, u"circles"_qs, lines}, u"Нарисуйте фигуру, чтобы увидеть её вызовы"_qs, 0, u"15/4/7"_qs, 7, false};
        QTest::newRow("the next one by lines") << LineScenario{{u"по шагам"_qs, u"circles"_qs, lines, u"circles"_qs, u"Space"_qs}, u"Вызов 1 из 15"_qs, 5, u"1/1/1"_qs, -1, true};
        QTest::newRow("closing the calls") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"close"_qs, u"Space"_qs}, {}, 0, u"2/2/2"_qs, 2, true};
        QTest::newRow("a shape's call, then a line") << LineScenario{{lines, u"circles"_qs, u"Esc"_qs, u"ctrl-click 242,233"_qs, u"Space"_qs}, u"Вызов 2 из 15"_qs, 6, u"2/2/2"_qs, 2, false};
        QTest::newRow("back onto a line drawn on") << LineScenario{{lines, u"triangle"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs}, u"Вызов 1 из 40"_qs, 14, u"1/1/6"_qs, 6, true, u"Строка 14. Линия: от (50; 100) до (25; 50)"_qs, {146, 292}};
        QTest::newRow("a call near the pointer") << LineScenario{{lines, u"circles"_qs, u"Esc"_qs, u"ctrl-click 255,238"_qs}, u"Вызов 2 из 15"_qs, 5, u"2/2/2"_qs, 2, true};
        QTest::newRow("back from a later line") << LineScenario{{lines, u"snowflake"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs}, u"Вызов 1 из 341"_qs, 6, u"1/1/2"_qs, 2, true};
        QTest::newRow("a line of the call under way chosen") << LineScenario{{lines, u"snowflake"_qs, u"Space"_qs, u"Space"_qs, u"ctrl-click 196,150"_qs}, u"Вызов 1 из 341"_qs, 8, u"1/1/4"_qs, 4, true};
        QTest::newRow("drawn again at a scale") << LineScenario{{lines, u"snowflake"_qs, u"Space"_qs, u"Space"_qs, u"Крупнее"_qs, u"Обычный размер"_qs}, u"Вызов 1 из 341"_qs, 6, u"1/1/2"_qs, 2, true};
        QTest::newRow("over a snowflake's call") << LineScenario{{lines, u"snowflake"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"Shift+Space"_qs}, u"Вызов 1 из 341"_qs, 10, u"86/1/88"_qs, 88, false};
        QTest::newRow("to whole calls, its calls returned") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"Space"_qs, u"Shift+Space"_qs, u"по шагам"_qs}, u"Вызов 8 из 15"_qs, 4, u"8/4/4"_qs, 4, false};
        QTest::newRow("reset") << LineScenario{{lines, u"circles"_qs, u"Space"_qs, u"reset"_qs, u"Space"_qs}, u"Нарисуйте фигуру, чтобы увидеть её вызовы"_qs, 0, {}, 0, false};
        // clang-format on
    }
    // The horizontal chain R = 30, the snowflake d = 60 and the triangle line by line: the calls
    // window, the label and the canvas.
    void lineSteps()
    {
        QFETCH(LineScenario, row);
        auto *calls = form->findChild<CallsWindow *>();
        for (const QString &step : row.steps) {
            if (commonStep(step, form->Command4, {}, {}))
                continue;
            if (paces.contains(step))
                chooseFromMenu(form->Picture1, u"Рисовать "_qs + step);
            else if (step == u"click")
                QTest::mouseClick(form->Picture1, Qt::LeftButton);
            else if (step.startsWith(u"ctrl-click ")) // at "x,y"
                QTest::mouseClick(form->Picture1, Qt::LeftButton, Qt::ControlModifier,
                                  QPoint(step.section(u' ', 1).section(u',', 0, 0).toInt(),
                                         step.section(u',', 1).toInt()));
            else if (step == u"close")
                calls->close();
            else if (step == u"reset")
                form->Command3->click();
            else if (QAction *item = menuItem(form.get(), step))
                item->trigger();
            else
                draw(*form, step);
        }
        QTRY_COMPARE(calls->isVisible() ? calls->heading->text() : QString(), row.heading);
        // The lines are read in the calls window: the pace goes with it.
        QVERIFY(!menuItem(form.get(), u"Рисовать по строкам"_qs)->isChecked()
                || calls->isVisible());
        if (calls->isVisible())
            QCOMPARE(calls->procedure->highlighted(),
                     row.line ? QList<int>{row.line} : QList<int>());
        if (!row.explained.isEmpty())
            QCOMPARE(calls->procedure->explanation->accessibleName(), row.explained);
        QCOMPARE(counts(), row.counts);
        const QImage picture = form->Picture1->picture();
        if (row.shapes >= 0)
            QCOMPARE(picture, drawnUpTo(row.steps, row.shapes));
        // A figure of at most 1 000 calls keeps every call reached open in the tree.
        const QModelIndex second = callTwo();
        QVERIFY(!second.isValid() || !calls->tree->model()->hasChildren(second)
                || calls->tree->isExpanded(second));
        const QImage shown = canvasOnScreen();
        QCOMPARE(shown != picture, row.marked);
        QVERIFY(row.markedAt.isNull() || shown.pixel(row.markedAt) != picture.pixel(row.markedAt));
        QVERIFY(form->isVisible());
    }

    // Ctrl+C and Ctrl+S copy and save the picture as it is; a failed save leaves no file.
    void copyAndSave()
    {
        const QImage picture = drawnAfter(form->Command6, {});
        QTest::keySequence(form.get(), QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                 picture);
        const QTemporaryDir folder;
        dialogs->nextAnswer(folder.filePath(u"рисунок"_qs)); // .png is added
        press(QKeySequence::Save);
        QCOMPARE(dialogs->asked.value(0), u"Сохранить рисунок"_qs);
        QVERIFY(dialogs->asked.value(1).startsWith(QDir::homePath())
                && dialogs->asked.value(1).endsWith(u"/рисунок.png"_qs));
        saveOnFullDisk(folder.filePath(u"полный диск.png"_qs));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"рисунок.png"_qs});
        QCOMPARE(QImage(folder.filePath(u"рисунок.png"_qs)).convertToFormat(QImage::Format_RGB32),
                 picture);
        QCOMPARE(dialogs->reportText,
                 u"Не удалось сохранить рисунок «%1…»: %2."_qs.arg(
                         folder.filePath(u"полный диск.png"_qs).first(40),
                         QString::fromLocal8Bit(std::strerror(EFBIG))));
        dialogs->nextAnswer(std::nullopt); // a cancelled dialog saves and reports nothing
        chooseFromMenu(form->Picture1, u"Сохранить рисунок…"_qs);
        QCOMPARE(dialogs->reportText, QString());
        form->Command4->click();
        QVERIFY(!form->isVisible());
    }

    // Undo and redo across figures, the triangle's colours and a reset; a new figure
    // drops what could be redone; undo first finishes an unfolding figure.
    void undoAndRedo()
    {
        QAction *undo = menuItem(form.get(), u"Отменить рисунок"_qs);
        QAction *redo = menuItem(form.get(), u"Вернуть рисунок"_qs);
        QAction *animation = menuItem(form.get(), u"Сохранить анимацию…"_qs);
        QList<QImage> pictures{form->Picture1->picture()};
        QStringList labels{{}};
        // The action, the picture seen before that shows then (-1: a new one), what undo and redo
        // can.
        // clang-format off
        const struct { const char *action; int shows; const char *can; } steps[] = {
            {"3", 0, "--"}, {"6", -1, "u-"}, {"8", -1, "u-"}, {"6", -1, "u-"}, {"Ctrl+Z", 2, "ur"},
            {"Ctrl+Z", 1, "ur"}, {"Ctrl+Shift+Z", 2, "ur"}, {"Ctrl+Y", 3, "u-"}, {"3", 0, "u-"},
            {"Ctrl+Z", 3, "ur"}, {"Ctrl+Y", 0, "u-"}, {"Ctrl+Z", 3, "ur"}, {"Ctrl+Z", 2, "ur"}, {"2", -1, "u-"}, {"Ctrl+Y", 4, "u-"}, {"5", -1, "u-"}, {"Ctrl+Z", 4, "ur"},
            {"steps", -1, "u-"}, {"Ctrl+Z", 4, "ur"}, {"Right", 4, "ur"}, {"Ctrl+Y", 5, "u-"},
            {"Ctrl+Z", 4, "ur"}, {"Ctrl+Z", 2, "ur"}, {"Ctrl+Z", 1, "ur"}, {"Ctrl+Z", 0, "-r"}, {"Ctrl+Z", 0, "-r"}};
        // clang-format on
        for (const auto &step : steps) {
            const QString action = QString::fromLatin1(step.action);
            if (action == u"steps") { // the six-armed snowflake again, its first call only
                menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
                drawnAfter(form->Command5, u"30"_qs);
            } else if (action == u"Right") {
                QTest::keyClick(form.get(), Qt::Key_Right);
            } else if (action.front().isDigit()) {
                drawnAfter(command(action.toInt()), u"30"_qs);
            } else {
                press(QKeySequence(action));
            }
            if (step.shows < 0) {
                pictures << form->Picture1->picture();
                labels << form->Label2->text();
            }
            const qsizetype shown = step.shows < 0 ? pictures.size() - 1 : step.shows;
            QCOMPARE(form->Picture1->picture(), pictures[shown]);
            QCOMPARE(form->Label2->text(), labels[shown]);
            QCOMPARE(QString(undo->isEnabled() ? u'u' : u'-') + (redo->isEnabled() ? u'r' : u'-'),
                     QString::fromLatin1(step.can));
            QCOMPARE(animation->isEnabled(), shown > 0); // only with a figure on the canvas
        }
    }

    // Saved as SVG and printed to a PDF file through the print dialog, the picture is drawn
    // again as lines and circles at the size, centred, in the screen's colours and relative
    // line width; both first finish an unfolding figure; a failed SVG save leaves no file.
    void printAndSvg()
    {
        const auto drawFigures = [](Canvas &canvas) {
            StillClock colours;
            Figures figures(canvas, colours);
            canvas.SetScale(0, 0, 100, 100);
            figures.Treug(50, 0, 100);
            canvas.SetScale(-100, 100, 100, -100);
            figures.Ris3(0, 0, 79); // reaching beyond the canvas
        };
        PictureBox screen;
        drawFigures(screen);
        drawnAfter(form->Command6, {});
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
        drawnAfter(form->Command5, u"79"_qs);
        const QTemporaryDir folder;
        const QString svgFile = folder.filePath(u"рисунок.svg"_qs),
                      pdf = folder.filePath(u"рисунок.pdf"_qs);
        dialogs->nextAnswer(svgFile);
        press(QKeySequence::Save);
        QCOMPARE(form->Picture1->picture(), screen.picture());
        QSvgRenderer svg(svgFile);
        QCOMPARE(svg.viewBox(), QRect(0, 0, 389, 389));
        QImage rendered(389, 389, QImage::Format_RGB32);
        rendered.fill(Qt::black); // the file paints its own white
        QPainter svgPainter(&rendered);
        svg.render(&svgPainter);
        svgPainter.end();
        QVERIFY(alike(rendered, screen.picture()));
        QFile svgText(svgFile);
        QVERIFY(svgText.open(QIODevice::ReadOnly) && !svgText.readAll().contains("<image"));
        dialogs->nextAnswer(folder.filePath(u"вектор|SVG (*.svg)"_qs)); // the type chosen
        press(QKeySequence::Save);
        QVERIFY(QSvgRenderer(folder.filePath(u"вектор.svg"_qs)).isValid());

        press(QKeySequence::Undo);
        drawnAfter(form->Command5, u"79"_qs);
        QVERIFY(loadQtRussianTexts(*qApp));
        QPrinter &printer = form->findChild<PictureFile *>()->printer();
        printer.setOutputFileName(pdf);
        printer.setPageOrientation(QPageLayout::Landscape);
        dialogs->nextAnswer(QString());
        press(QKeySequence::Print);
        QCOMPARE(dialogs->asked, QStringList{u"Печать"_qs});
        QCOMPARE(form->Picture1->picture(), screen.picture());
        // The page at 100 dots per inch, and the square in its middle as high as the printable
        // area.
        QProcess::execute(u"pdftoppm"_qs,
                          {u"-r"_qs, u"100"_qs, u"-png"_qs, u"-singlefile"_qs, pdf,
                           folder.filePath(u"page"_qs)});
        const QImage page(folder.filePath(u"page.png"_qs));
        QImage expected(page.size(), QImage::Format_RGB32);
        expected.fill(white);
        const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Inch);
        QRectF square(0, 0, printable.height() * 100, printable.height() * 100);
        square.moveCenter(printer.pageLayout().fullRect(QPageLayout::Inch).center() * 100);
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(square);
        painter.translate(square.topLeft() + QPointF(1, 1) * square.width() / 389 / 2);
        PainterCanvas onPage(&painter, square.width(), square.width() / 389);
        drawFigures(onPage);
        painter.end();
        QVERIFY(alike(page.convertToFormat(QImage::Format_RGB32), expected));

        saveOnFullDisk(folder.filePath(u"полный диск.svg"_qs));
        QVERIFY(dialogs->reportText.startsWith(u"Не удалось сохранить рисунок «"_qs));
        // With a progress dialog that shows at once, cancelled, neither leaves a file.
        menuItem(form.get(), u"Рисовать сразу"_qs)->trigger();
        for (int i = 0; i < 3; ++i)
            drawnAfter(form->Command2, u"5119.99"_qs);
        form->findChild<PictureFile *>()->progressAfter = 0;
        dialogs->nextAnswer(folder.filePath(u"отменено.svg"_qs));
        press(QKeySequence::Save);
        printer.setOutputFileName(folder.filePath(u"отменено.pdf"_qs));
        dialogs->nextAnswer(QString());
        press(QKeySequence::Print);
        QCOMPARE(dialogs->progressTitle, u"Печать рисунка"_qs);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 (QStringList{u"page.png"_qs, u"вектор.svg"_qs, u"рисунок.pdf"_qs,
                              u"рисунок.svg"_qs}));
    }

    // Over two triangles, the snowflake d = 60 (85 steps) stepped, saved as an animated GIF
    // and read back with Qt's GIF reader: the canvas before it for 1 s, each step marked in
    // orange for 1 s and then in its own colours, the whole figure for 3 s, looping; at 200
    // and 300 % as large as the canvas, with its strokes and a mark as wide as on the screen.
    // After an undo, the second triangle unfolds in its colours, at the tempo of each pace.
    // A figure of 341 steps; "урок.GIF" keeps its name; a cancelled and a failed save leave
    // no file.
    void animation()
    {
        QAction *item = menuItem(form.get(), u"Сохранить анимацию…"_qs);
        QVERIFY(!item->isEnabled());
        auto *file = form->findChild<PictureFile *>();
        file->progressAfter = 60'000; // never cancelled by the dialog driver, however slow

        const QImage oneTriangle = drawnAfter(form->Command6, {});
        const QImage triangle = drawnAfter(form->Command6, {}); // another, in other colours
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
        QList<QImage> steps{drawnAfter(form->Command2, u"60"_qs)};
        const QTemporaryDir folder;
        QList<int> delays;
        const auto saved = [&](const QString &name, const QString &suffix = u".gif"_qs) {
            dialogs->nextAnswer(folder.filePath(name));
            item->trigger();
            QImageReader gif(folder.filePath(name + suffix));
            QList<QImage> frames;
            delays.clear();
            for (QImage frame; gif.read(&frame); delays << gif.nextImageDelay())
                frames << frame.convertToFormat(QImage::Format_RGB32);
            return gif.loopCount() == -1 ? frames : QList<QImage>();
        };
        const QList<QImage> frames = saved(u"снежинка"_qs); // ".gif" added
        QCOMPARE(dialogs->asked.value(0), u"Сохранить анимацию"_qs);
        QVERIFY(dialogs->asked.value(1).endsWith(u"/анимация.gif"_qs));
        for (int step = 1; step < 85; ++step) {
            QTest::keyClick(form->Command4, Qt::Key_Space);
            steps << form->Picture1->picture();
        }
        QCOMPARE(frames.size(), 87);
        QCOMPARE(delays, QList<int>{1000} + QList<int>(85, 1000) + QList<int>{3000});
        QCOMPARE(frames.first(), triangle);
        QCOMPARE(frames.last(), steps.last());
        const QRgb orange = qRgb(255, 140, 0);
        // The first call's star marked 5 strokes wide over the canvas before it.
        const auto starMarked = [orange](QImage marked, int strokeWidth) {
            QPainter painter(&marked);
            painter.setPen(QPen(QColor(orange), 5 * strokeWidth, Qt::SolidLine, Qt::RoundCap));
            const double c = marked.width() / 2.0, a = 30 * c / 100, b = 20 * c / 100;
            painter.drawLines({QLineF(c, c - a, c, c + a), QLineF(c + a, c, c - a, c),
                               QLineF(c - b, c - b, c + b, c + b),
                               QLineF(c + b, c - b, c - b, c + b)});
            return marked;
        };
        QCOMPARE(frames[1], starMarked(triangle, 1));
        // Each step's frame is the canvas after it, but for the orange of that step only.
        const auto offMark = [orange](const QImage &frame, const QImage &picture, int x, int y) {
            return frame.pixel(x, y) == orange || frame.pixel(x, y) == picture.pixel(x, y);
        };
        for (int step = 1; step <= 85; ++step) {
            int marked = 0, unmarked = 0;
            for (int y = 0; y < 389; ++y)
                for (int x = 0; x < 389; ++x) {
                    QVERIFY(offMark(frames[step], steps[step - 1], x, y));
                    marked += frames[step].pixel(x, y) == orange;
                    unmarked += frames[step - 1].pixel(x, y) == orange
                            && frames[step].pixel(x, y) != orange;
                }
            QVERIFY(marked > 0 && (step == 1 || unmarked > 0));
        }
        for (const auto &[percent, side, strokeWidth] : {std::tuple{200, 778, 2}, {300, 1167, 3}}) {
            ProgramScale::of(form.get())->setPercent(percent);
            const QList<QImage> larger = saved(u"крупно"_qs);
            QCOMPARE(larger.first().size(), QSize(side, side));
            QCOMPARE(larger.last(), form->Picture1->picture());
            QCOMPARE(larger[1], starMarked(larger.first(), strokeWidth));
        }
        ProgramScale::of(form.get())->setPercent(100);

        press(QKeySequence::Undo); // the second triangle: 13 steps over the first
        QList<QImage> triangleFrames;
        for (const auto &[pace, delay] : {std::pair{u"быстро"_qs, 50},
                                          {u"медленно"_qs, 500},
                                          {u"по шагам"_qs, 1000},
                                          {u"по строкам"_qs, 1000},
                                          {u"сразу"_qs, 50}}) {
            menuItem(form.get(), u"Рисовать "_qs + pace)->trigger();
            triangleFrames = saved(u"треугольник"_qs);
            QCOMPARE(delays, QList<int>{1000} + QList<int>(13, delay) + QList<int>{3000});
        }
        QCOMPARE(triangleFrames.size(), 15);
        QCOMPARE(triangleFrames.first(), oneTriangle);
        QCOMPARE(triangleFrames.last(), triangle);
        // 341 steps in 200 frames, the first showing ceil(341 / 200) = 2 of them.
        drawnAfter(form->Command2, u"99"_qs);
        const QList<QImage> largeFrames = saved(u"99"_qs);
        QCOMPARE(largeFrames.size(), 202);
        QCOMPARE(saved(u"урок.GIF"_qs, {}).size(), 202);
        PictureBox twoSteps;
        twoSteps.setPicture(triangle);
        Figures figures(twoSteps, colours);
        FigureRecord record(figures.counter);
        figures.drawOn(record);
        figures.Ris(0, 0, 99);
        twoSteps.SetScale(-100, 100, 100, -100);
        record.replay(0, 2, twoSteps);
        const QImage expected = twoSteps.picture();
        for (int y = 0; y < 389; ++y)
            for (int x = 0; x < 389; ++x)
                QVERIFY(offMark(largeFrames[1], expected, x, y));

        saveOnFullDisk(folder.filePath(u"полный диск"_qs), item);
        QVERIFY(dialogs->reportText.startsWith(u"Не удалось сохранить рисунок «"_qs));
        file->progressAfter = 0; // shown at once, and cancelled
        dialogs->nextAnswer(folder.filePath(u"отменено.gif"_qs));
        item->trigger();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 (QStringList{u"99.gif"_qs, u"крупно.gif"_qs, u"снежинка.gif"_qs,
                              u"треугольник.gif"_qs, u"урок.GIF"_qs}));
        form->Command3->click();
        QVERIFY(!item->isEnabled());
    }

    // Over an earlier figure, the chain R = 30 step by step: the stack and the tree at
    // its sixth call; going to a stopping call, forward to a later one and back; stepping
    // back from the calls window and the main window; Esc; reset; undo and redo. The
    // earlier figure stays exactly throughout.
    void callsWindow()
    {
        auto *calls = form->findChild<CallsWindow *>();
        menuItem(form.get(), u"Показать вызовы"_qs)->trigger();
        QVERIFY(calls->isVisible());
        const QImage earlier = drawnAfter(form->Command7, u"30"_qs);
        QCOMPARE(calls->heading->text(), u"Все вызовы закончены: 15"_qs);
        QCOMPARE(rows(calls->stack), QStringList());
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
        QList<QImage> pictures{drawnAfter(form->Command1, u"30"_qs)};
        for (int step = 0; step < 3; ++step) {
            QTest::keyClick(form->Command4, Qt::Key_Right);
            pictures << form->Picture1->picture();
        }
        QCOMPARE(calls->heading->text(), u"Вызов 6 из 15"_qs);
        QCOMPARE(rows(calls->stack),
                 (QStringList{u"Ris1(x = 100; y = 100; r = 30) — ждёт вызов 1 из 2"_qs,
                              u"Ris1(x = 130; y = 100; r = 20) — ждёт вызов 2 из 2"_qs,
                              u"Ris1(x = 110; y = 100; r = 13,33)"_qs}));
        QCOMPARE(calls->stack->currentIndex().row(), 2);
        QAbstractItemModel *tree = calls->tree->model();
        const QModelIndex second = tree->index(0, 0, tree->index(0, 0));
        QCOMPARE(rows(calls->tree, second),
                 (QStringList{u"Ris1(x = 150; y = 100; r = 13,33)"_qs,
                              u"Ris1(x = 110; y = 100; r = 13,33)"_qs}));
        QCOMPARE(rows(calls->tree, tree->index(0, 0, second)),
                 (QStringList{u"Ris1(x = 163,33; y = 100; r = 8,89) — остановка"_qs,
                              u"Ris1(x = 136,67; y = 100; r = 8,89) — остановка"_qs}));
        // A small figure: every call reached so far in view.
        QVERIFY(calls->tree->isExpanded(second)
                && calls->tree->isExpanded(tree->index(0, 0, second)));
        QCOMPARE(calls->tree->currentIndex(), tree->index(1, 0, second));
        const auto procedureShows = [&](const QList<int> &lines, const QString &explained) {
            QCOMPARE(calls->procedure->highlighted(), lines);
            QCOMPARE(calls->procedure->explanation->accessibleName(), explained);
        };
        QVERIFY(calls->procedure->text->toPlainText().startsWith(
                u" 1  void Ris1(double x, double y, double r)\n 2  {\n 3      if (r < 10)\n"_qs));
        procedureShows({5}, u"Строка 5. Окружность: центр (110; 100), радиус 13,33"_qs);

        // Ctrl+click: the call whose circle is under the pointer, the later one where two cross,
        // among the circles shown; on nothing, no change.
        // clang-format off
        const std::pair<QPoint, QString> pointed[] = {{{12, 12}, u"Вызов 6 из 15"_qs},
            {{242, 233}, u"Вызов 2 из 15"_qs}, {{255, 196}, u"Вызов 1 из 15"_qs}, {{320, 196}, u"Вызов 1 из 15"_qs}};
        // clang-format on
        for (const auto &[at, heading] : pointed) {
            QTest::mouseClick(form->Picture1, Qt::LeftButton, Qt::ControlModifier, at);
            QTRY_COMPARE(calls->heading->text(), heading);
        }
        QCOMPARE(form->Picture1->picture(), pictures[0]);

        // The fifth call stopped: the picture of the third drawing call; the sixth stays, grey.
        calls->tree->setCurrentIndex(tree->index(1, 0, tree->index(0, 0, second)));
        QTRY_COMPARE(calls->heading->text(), u"Вызов 5 из 15"_qs);
        procedureShows({4}, u"Строка 4. Возврат: Ris1(x = 136,67; y = 100; r = 8,89) закончен"_qs);
        QCOMPARE(counts(), u"5/4/3"_qs);
        QCOMPARE(form->Picture1->picture(), pictures[2]);
        const auto grey = [&](const QModelIndex &index) {
            return index.data(Qt::ForegroundRole).isValid();
        };
        QVERIFY(grey(tree->index(1, 0, second)) && !grey(tree->index(0, 0, second)));
        QTest::keyClick(calls->tree, Qt::Key_Left); // from the calls window
        QCOMPARE(counts(), u"2/2/2"_qs);
        QCOMPARE(form->Picture1->picture(), pictures[1]);
        QCOMPARE(rows(calls->stack).size(), 2);
        calls->tree->setCurrentIndex(tree->index(1, 0, second)); // forward again
        QTRY_COMPARE(counts(), u"6/3/4"_qs);
        QCOMPARE(form->Picture1->picture(), pictures[3]);
        QTest::keyClick(form->Command4, Qt::Key_Backspace); // no button pressed
        QTest::keyClick(form->Command4, Qt::Key_Backspace);
        QTest::keyClick(form->Command4, Qt::Key_Backspace);
        QCOMPARE(counts(), u"1/1/1"_qs);
        QCOMPARE(form->Picture1->picture(), pictures[0]);
        QTest::keyClick(form->Command4, Qt::Key_Right);
        QCOMPARE(form->Picture1->picture(), pictures[1]);
        QTest::keyClick(form->Command3, Qt::Key_Escape);
        QCOMPARE(counts(), u"15/4/7"_qs);
        QCOMPARE(calls->heading->text(), u"Все вызовы закончены: 15"_qs);
        QVERIFY(rows(calls->stack).isEmpty() && !calls->tree->currentIndex().isValid());
        procedureShows({}, {});
        QCOMPARE(calls->procedure->text->document()->blockCount(), 8);
        QCOMPARE(rows(calls->tree, tree->index(1, 0, tree->index(0, 0))).size(), 2);
        // Space presses nothing where Esc was pressed, "Сброс" once the focus has moved there.
        QTest::keyClick(form->Command3, Qt::Key_Space);
        QCOMPARE(counts(), u"15/4/7"_qs);
        press(QKeySequence(Qt::Key_Tab));
        QTest::keyClick(form->Command3, Qt::Key_Space);
        QVERIFY(earlier != form->Picture1->picture() && form->isVisible());
        QCOMPARE(calls->heading->text(), u"Нарисуйте фигуру, чтобы увидеть её вызовы"_qs);
        QVERIFY(calls->procedure->text->toPlainText().isEmpty());

        // Stepped back to the first step and chosen again: only this figure's shapes change.
        drawnAfter(form->Command7, u"30"_qs);
        drawnAfter(form->Command1, u"30"_qs);
        QTest::keyClick(form->Command4, Qt::Key_Escape);
        QTest::keyClick(form->Command4, Qt::Key_Left);
        calls->stack->setCurrentIndex(calls->stack->model()->index(0, 0));
        QTRY_COMPARE(counts(), u"1/1/1"_qs);
        QCOMPARE(form->Picture1->picture(), pictures[0]);
        menuItem(form.get(), u"Рисовать быстро"_qs)->trigger(); // on from a call chosen
        QTRY_COMPARE(counts(), u"15/4/7"_qs);
        QTest::keyClick(form->Command4, Qt::Key_Left); // at a timed pace, no step back
        QCOMPARE(counts(), u"15/4/7"_qs);

        // Undo and redo show the calls of the last figure on the canvas, the triangle in its
        // own colours.
        menuItem(form.get(), u"Рисовать сразу"_qs)->trigger();
        const QImage chains = form->Picture1->picture();
        const QImage triangle = drawnAfter(form->Command6, {});
        drawnAfter(form->Command1, u"30"_qs);
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger(); // the figure drawn again is whole
        const QString ris2 = u"Ris2(x = 100; y = 100; r = 30)"_qs,
                      all = u"Все вызовы закончены: "_qs;
        // clang-format off
        const struct { QKeySequence keys; QImage picture; QString heading, firstCall; } steps[] = {
            {QKeySequence::Undo, triangle, all + u"40"_qs, u"Treug(x = 50; y = 0; d = 100)"_qs},
            {QKeySequence::Undo, chains, all + u"15"_qs, u"Ris1(x = 100; y = 100; r = 30)"_qs}, {QKeySequence::Undo, earlier, all + u"15"_qs, ris2},
            {QKeySequence::Undo, PictureBox().picture(), u"Нарисуйте фигуру, чтобы увидеть её вызовы"_qs, {}}, {QKeySequence::Redo, earlier, all + u"15"_qs, ris2}};
        // clang-format on
        for (const auto &step : steps) {
            press(step.keys);
            QCOMPARE(form->Picture1->picture(), step.picture);
            QCOMPARE(calls->heading->text(), step.heading);
            QCOMPARE(rows(calls->tree).value(0), step.firstCall);
        }
    }
    // Opening, closing and exit; a figure drawn while the window was closed is not shown;
    // the names a screen reader reads.
    void callsWindowOpening()
    {
        auto *calls = form->findChild<CallsWindow *>();
        QAction *item = menuItem(form.get(), u"Показать вызовы"_qs);
        QVERIFY(!calls->isVisible() && item->isCheckable() && !item->isChecked());
        QCOMPARE(form->Picture1->menu()->actions().value(form->Picture1->menu()->actions().size()
                                                         - 2),
                 item);
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
        drawnAfter(form->Command1, u"30"_qs);
        item->trigger();
        QTest::keyClick(form->Command4, Qt::Key_Right);
        QVERIFY(calls->isVisible());
        QCOMPARE(calls->windowTitle(), u"Вызовы"_qs);
        // Wholly on the screen: beside the window where there is room, else over its right part.
        const QRect screen = form->screen()->availableGeometry(), main = form->frameGeometry(),
                    beside = calls->frameGeometry();
        const bool room = main.right() + beside.width() <= screen.right()
                || main.left() - beside.width() >= screen.left();
        QVERIFY(screen.contains(beside));
        QVERIFY(room ? beside.left() > main.right() || beside.right() < main.left()
                     : beside.right() >= main.right());
        QCOMPARE(calls->heading->text(), u"Нарисуйте фигуру, чтобы увидеть её вызовы"_qs);
        QVERIFY(!calls->stack->isVisible() && !calls->tree->isVisible());
        QCOMPARE(calls->stack->accessibleName(), u"Стек вызовов"_qs);
        QCOMPARE(calls->tree->accessibleName(), u"Дерево вызовов"_qs);
        QCOMPARE(calls->procedure->text->accessibleName(), u"Текст процедуры"_qs);
        QVERIFY(calls->procedure->text->toPlainText().isEmpty());
        // Beside the window on a 1366x768 screen: the longest line whole, five rows each.
        drawnAfter(form->Command8, u"30"_qs);
        QTest::keyClick(form->Command4, Qt::Key_Right);
        QVERIFY(calls->frameGeometry().width() + form->frameGeometry().width() <= 1366
                && calls->frameGeometry().height() <= 768 - 40);
        QCOMPARE(calls->procedure->text->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(calls->procedure->text->verticalScrollBar()->maximum(), 0);
        for (QAbstractItemView *view :
             {(QAbstractItemView *)calls->stack, (QAbstractItemView *)calls->tree})
            QVERIFY(view->viewport()->height() >= 5 * view->sizeHintForRow(0));
        QTest::keyClick(form->Command4, Qt::Key_Escape);
        calls->close();
        QVERIFY(!item->isChecked());
        menuItem(form.get(), u"Рисовать сразу"_qs)->trigger();
        item->trigger();
        drawnAfter(form->Command2, u"60"_qs);
        QCOMPARE(calls->heading->text(), u"Все вызовы закончены: 341"_qs);
        QVERIFY(calls->isVisible() && calls->tree->isVisible()
                && calls->tree->isExpanded(callTwo()));
        item->trigger();
        QVERIFY(!calls->isVisible());
        const QImage closed = drawnAfter(form->Command1, u"30"_qs); // nothing left to step back
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
        QTest::keyClick(form->Command4, Qt::Key_Left);
        QCOMPARE(form->Picture1->picture(), closed);
        item->trigger();
        QCOMPARE(calls->heading->text(), u"Нарисуйте фигуру, чтобы увидеть её вызовы"_qs);
        form->Command4->click();
        QVERIFY(!calls->isVisible() && !form->isVisible());
    }
    // A figure of some 87 000 lines, gone back into from the stack and stepped back:
    // the picture shows exactly the steps up to the call chosen, Esc the whole figure.
    void callsOfALargeFigure()
    {
        auto *calls = form->findChild<CallsWindow *>();
        menuItem(form.get(), u"Показать вызовы"_qs)->trigger();
        const QImage whole = drawnAfter(form->Command2, u"1000"_qs);
        PictureBox unused;
        Figures figures(unused, colours);
        FigureRecord record(figures.counter);
        CallTrace trace;
        figures.counter.trace = &trace;
        figures.drawOn(record);
        figures.Ris(0, 0, 1000);
        const auto upTo = [&record](qsizetype steps) {
            PictureBox expected;
            expected.SetScale(-100, 100, 100, -100);
            record.replay(0, steps, expected);
            return expected.picture();
        };
        const auto stepsShown = [&] {
            const qint64 call = calls->heading->text().split(u' ').value(1).toLongLong();
            return std::count_if(record.steps().begin(), record.steps().end(),
                                 [call](const auto &step) { return step.call <= call; });
        };
        menuItem(form.get(), u"Рисовать по шагам"_qs)->trigger();
        QTest::keyClick(form->Command4, Qt::Key_Left); // the last step taken back
        QCOMPARE(form->Picture1->picture(), upTo(qsizetype(record.steps().size()) - 1));
        for (int row : {6, 2, 0}) {
            calls->stack->setCurrentIndex(calls->stack->model()->index(row, 0));
            QTRY_COMPARE(calls->stack->model()->rowCount(), row + 1);
            QCOMPARE(form->Picture1->picture(), upTo(stepsShown()));
            if (row == 6) {
                QTest::keyClick(form->Command4, Qt::Key_Left);
                QCOMPARE(form->Picture1->picture(), upTo(stepsShown()));
                QVERIFY(stepsShown() > 65536 / 4);
            }
        }
        // The last step before the canvas kept its first picture, from the tree.
        QTest::keyClick(form->Command4, Qt::Key_Escape);
        const auto kept = std::find_if(record.steps().begin(), record.steps().end(),
                                       [](const auto &step) { return step.end >= 65536; });
        const QList<qint32> path = trace.path(trace.stepCall(kept - record.steps().begin() - 1));
        QModelIndex index = calls->tree->model()->index(0, 0);
        for (qint32 call : path.sliced(1))
            index = calls->tree->model()->index(trace.childRow(call), 0, index);
        calls->tree->setCurrentIndex(index);
        QTRY_COMPARE(calls->heading->text(), u"Вызов %1 из 87381"_qs.arg(path.last() + 1));
        QCOMPARE(form->Picture1->picture(), upTo(kept - record.steps().begin()));
        QTest::keyClick(form->Command4, Qt::Key_Escape);
        QCOMPARE(form->Picture1->picture(), whole);
    }

private:
    QPushButton *command(int number) { return form->findChildren<CaptionButton *>()[number - 1]; }
    QImage drawnAfter(QPushButton *button, const std::optional<QString> &typed)
    {
        dialogs->nextAnswer(typed);
        button->click();
        return form->Picture1->picture();
    }
    // The keys pressed in the window, made active again after a dialog.
    void press(const QKeySequence &keys)
    {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keySequence(form.get(), keys);
    }
    // Saves (through the item, else Ctrl+S) with a limit on file sizes, which makes the save
    // fail as a full disk does.
    void saveOnFullDisk(const QString &path, QAction *item = nullptr)
    {
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit tiny{1000, unlimited.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        dialogs->nextAnswer(path);
        setrlimit(RLIMIT_FSIZE, &tiny);
        item ? item->trigger() : press(QKeySequence::Save);
        setrlimit(RLIMIT_FSIZE, &unlimited);
    }
    // Draws a figure at the pace chosen, answering its prompt.
    void draw(Form1 &window, const QString &figure)
    {
        // clang-format off
        const std::map<QString, std::pair<QPushButton *, QString>> figures{{u"circles"_qs, {window.Command1, u"30"_qs}},
            {u"tiny"_qs, {window.Command1, u"1"_qs}}, {u"snowflake"_qs, {window.Command2, u"60"_qs}}, {u"triangle"_qs, {window.Command6, {}}},
            {u"vertical"_qs, {window.Command7, u"30"_qs}}, {u"diagonal"_qs, {window.Command8, u"30"_qs}}, {u"six-armed"_qs, {window.Command5, u"60"_qs}}};
        // clang-format on
        dialogs->nextAnswer(figures.at(figure).second);
        figures.at(figure).first->click();
    }
    // The label's three numbers, as "calls/depth/shapes".
    // The canvas as the screen shows it, the calls window moved off it first.
    QImage canvasOnScreen()
    {
        auto *calls = form->findChild<CallsWindow *>();
        calls->move(form->frameGeometry().right() + 1, calls->y());
        return onScreen(form->Picture1, form->Picture1->contentsRect());
    }
    // The chain R = 30, or the snowflake or the triangle where the steps draw it, as its
    // first shapes leave the canvas.
    QImage drawnUpTo(const QStringList &steps, int shapes)
    {
        StillClock clock;
        PictureBox box;
        Figures figures(box, clock);
        FigureRecord record(figures.counter);
        figures.drawOn(record);
        if (steps.contains(u"snowflake"_qs))
            box.SetScale(-100, 100, 100, -100), figures.Ris(0, 0, 60);
        else if (steps.contains(u"triangle"_qs))
            box.SetScale(0, 0, 100, 100), figures.Treug(50, 0, 100);
        else
            box.SetScale(0, 0, 200, 200), figures.Ris1(100, 100, 30);
        record.replayShapes(0, shapes, box);
        return box.picture();
    }
    // The second call's row in the calls window's tree.
    QModelIndex callTwo() const
    {
        const QAbstractItemModel *tree = form->findChild<CallsWindow *>()->tree->model();
        return tree->index(0, 0, tree->index(0, 0));
    }
    QString counts() const
    {
        return form->Label2->text().remove(QRegularExpression(u"[^0-9\n]"_qs)).replace(u'\n', u'/');
    }

    StillClock colours;
    std::unique_ptr<Form1> form;
    std::optional<DialogDriver> dialogs;
};

QTEST_MAIN(TestFigdrawWindow)
#include "tst_figdrawwindow.moc"
