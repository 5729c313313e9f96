#include "callswindow.h"
#include "captionbutton.h"
#include "figurerecord.h"
#include "figurewindow.h"
#include "picturebox.h"
#include "programscale.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

// The triangle's colours, the same on every run: the clock stands still.
class StillClock : public RandomColours
{
    float TimeOfDay() override { return 43200.5f; }
};

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return QGuiApplication::primaryScreen();
}

// Shapes drawn on a canvas of their own at a scale, shown on the screen.
QImage drawnAt(int percent, const QString &screen, const std::function<void(Canvas &)> &draw)
{
    PictureBox box;
    box.rescale(percent);
    box.move(screenNamed(screen)->availableGeometry().topLeft());
    box.show();
    if (!QTest::qWaitForWindowExposed(&box))
        return {};
    draw(box);
    return box.picture();
}

void triangle(Canvas &canvas)
{
    StillClock colours;
    Figures figures(canvas, colours);
    canvas.SetScale(0, 0, 100, 100);
    figures.Treug(50, 0, 100);
}

// The font sizes of the dialogs as they show.
class DialogFonts : public QObject
{
public:
    QList<double> points;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QDialog *>(watched))
            points << static_cast<QWidget *>(watched)->font().pointSizeF();
        return false;
    }
};

// The program, the screen its window opens on, what the user does; then the scale, whether
// "Крупнее" is enabled, the window's size and a control's geometry.
// clang-format off
struct Scenario { QString program, screen; QStringList steps; int percent; bool larger; QSize window; QRect control; };
// clang-format on

} // namespace

class TestScale : public QObject
{
    Q_OBJECT

private slots:
    void init() { dialogs.emplace(); }
    void scenarios_data()
    {
        QTest::addColumn<Scenario>("row");
        const QStringList up8(8, u"Ctrl++"_qs);
        // clang-format off
        QTest::newRow("figdraw at 200 %, its dialogs") << Scenario{u"figdraw"_qs, u"large"_qs, {u"Ctrl++"_qs, u"Ctrl+="_qs, u"Ctrl++"_qs, u"Крупнее"_qs, u"dialogs"_qs}, 200, true, {1260, 1062}, {896, 160, 258, 82}};
        QTest::newRow("figdraw at 300 %") << Scenario{u"figdraw"_qs, u"large"_qs, up8, 300, false, {1890, 1593}, {1344, 240, 387, 123}};
        QTest::newRow("1920 x 1080 fits 175 %") << Scenario{u"figdraw"_qs, u"hd"_qs, up8, 175, false, {1102, 929}, {784, 140, 225, 71}};
        QTest::newRow("1024 x 768 fits 125 %") << Scenario{u"figdraw"_qs, u"projector"_qs, up8, 125, false, {787, 663}, {560, 100, 161, 51}};
        QTest::newRow("smaller, normal") << Scenario{u"figdraw"_qs, u"large"_qs, {u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl+-"_qs, u"Ctrl+0"_qs, u"Ctrl+-"_qs, u"dialogs"_qs}, 100, true, {630, 531}, {448, 80, 129, 41}};
        QTest::newRow("keys in the calls window") << Scenario{u"figdraw"_qs, u"large"_qs, {u"calls"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl+-"_qs}, 125, true, {787, 663}, {560, 100, 161, 51}};
        QTest::newRow("calls window over the right part") << Scenario{u"figdraw"_qs, u"hd"_qs, {u"calls"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs}, 175, false, {1102, 929}, {784, 140, 225, 71}};
        QTest::newRow("moved back on screen") << Scenario{u"figdraw"_qs, u"hd"_qs, {u"edge"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs}, 150, true, {945, 796}, {672, 120, 193, 61}};
        QTest::newRow("countdown at 200 %, its dialogs") << Scenario{u"countdown"_qs, u"large"_qs, {u"Крупнее"_qs, u"Ctrl++"_qs, u"Ctrl+="_qs, u"Ctrl++"_qs, u"dialogs"_qs}, 200, true, {756, 586}, {32, 16, 690, 370}};
        QTest::newRow("countdown at 300 %, calls") << Scenario{u"countdown"_qs, u"large"_qs, {u"calls"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs, u"Ctrl++"_qs}, 300, false, {1134, 879}, {48, 24, 1035, 555}};
        QTest::newRow("countdown on 1024 x 768") << Scenario{u"countdown"_qs, u"projector"_qs, up8, 200, false, {756, 586}, {32, 16, 690, 370}};
        // clang-format on
    }
    // The window, its controls and fonts, the calls window and the dialogs at a scale, and the
    // limits of the screen.
    void scenarios()
    {
        QFETCH(Scenario, row);
        StillClock colours;
        std::unique_ptr<QWidget> window;
        QWidget *control = nullptr;
        double points = 0;
        if (row.program == u"figdraw") {
            auto *form = new figdraw::Form1(colours);
            window.reset(form);
            control = form->Command1;
            points = 9.75;
        } else {
            auto *form = new countdown::Form1;
            window.reset(form);
            control = form->Text1;
            points = 8.25;
        }
        QScreen *screen = screenNamed(row.screen);
        const QRect area = screen->availableGeometry();
        window->move(area.topLeft());
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto *calls = window->findChild<CallsWindow *>();
        QWidget *keysTo = window.get();
        DialogFonts fonts;
        for (const QString &step : row.steps) {
            if (step == u"calls") {
                menuItem(window.get(), u"Показать вызовы"_qs)->trigger();
                calls->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(calls));
                keysTo = calls->heading;
            } else if (step == u"edge") {
                window->move(area.right() + 1 - window->frameGeometry().width(), area.top());
            } else if (step == u"Крупнее") {
                menuItem(window.get(), step)->trigger();
            } else if (step == u"dialogs") { // the prompt, then the report on what was typed
                qApp->installEventFilter(&fonts);
                dialogs->nextAnswer(u"x"_qs);
                window->findChildren<QPushButton *>()[row.program == u"figdraw" ? 0 : 1]->click();
                qApp->removeEventFilter(&fonts);
            } else {
                QTest::keySequence(keysTo, QKeySequence(step));
            }
        }
        auto *scale = ProgramScale::of(window.get());
        QCOMPARE(scale->percent(), row.percent);
        QCOMPARE(menuItem(window.get(), u"Крупнее"_qs)->isEnabled(), row.larger);
        QCOMPARE(window->size(), row.window);
        QCOMPARE(control->geometry(), row.control);
        QCOMPARE(control->font().pointSizeF(), points * row.percent / 100);
        QVERIFY(area.contains(window->frameGeometry()));
        const double normalPoints = QApplication::font().pointSizeF();
        if (row.steps.contains(u"dialogs"))
            QCOMPARE(fonts.points,
                     QList<double>(2, normalPoints * row.percent / 100)); // prompt and report
        if (calls->isVisible()) {
            QCOMPARE(calls->heading->font().pointSizeF(), normalPoints * row.percent / 100);
            const QRect main = window->frameGeometry(), beside = calls->frameGeometry();
            QVERIFY(area.contains(beside));
            const bool room = main.right() + beside.width() <= area.right();
            QVERIFY(room ? beside.left() > main.right()
                         : beside.intersects(main) && beside.right() >= main.right());
        }
    }

    // The canvas drawn again at every scale, never stretched: a figure stepped through keeps its
    // moment, the calls window and undo keep working, copying gives the picture at 100 %.
    void canvas()
    {
        // The strokes widen with the scale.
        for (const auto &[percent, width] :
             {std::pair{100, 1}, {125, 1}, {150, 2}, {200, 2}, {250, 3}, {300, 3}}) {
            const QImage line = drawnAt(percent, u"large"_qs, [](Canvas &canvas) {
                canvas.SetScale(0, 0, 200, 200);
                canvas.DrawLine(0, 100, 200, 100, PaletteColour(0));
            });
            QCOMPARE(inkBounds(line).height(), width);
        }

        StillClock colours;
        figdraw::Form1 form(colours);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Command6->click();
        menuItem(&form, u"Показать вызовы"_qs)->trigger();
        menuItem(&form, u"Рисовать по шагам"_qs)->trigger();
        dialogs->nextAnswer(u"60"_qs);
        form.Command2->click();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(form.Command4, Qt::Key_Right);
        QTest::keyClick(form.Command4, Qt::Key_Right);
        const QImage atNormal = form.Picture1->picture();

        RandomColours unused;
        Figures snowflake(*form.Picture1, unused);
        FigureRecord record(snowflake.counter);
        snowflake.drawOn(record);
        snowflake.Ris(0, 0, 60);
        const auto upTo = [&record](int percent, qsizetype steps) {
            return drawnAt(percent, u"large"_qs, [&](Canvas &canvas) {
                triangle(canvas);
                canvas.SetScale(-100, 100, 100, -100);
                record.replay(0, steps, canvas);
            });
        };
        for (int step = 0; step < 4; ++step)
            QTest::keySequence(&form, QKeySequence(u"Ctrl++"_qs));
        QCOMPARE(form.Picture1->picture(), upTo(200, 3));
        QCOMPARE(onScreen(form.Picture1, form.Picture1->contentsRect()) != form.Picture1->picture(),
                 true); // the step marked
        QCOMPARE(copied(form), atNormal);
        press(form, Qt::Key_Left);
        QCOMPARE(form.Picture1->picture(), upTo(200, 2));
        press(form, Qt::Key_Escape);
        QCOMPARE(form.Picture1->picture(), upTo(200, record.steps().size()));
        press(form, QKeySequence(u"Ctrl+0"_qs));
        QCOMPARE(form.Picture1->picture(), upTo(100, record.steps().size()));
        press(form, QKeySequence(u"Ctrl++"_qs));
        press(form, QKeySequence::Undo);
        QCOMPARE(form.Picture1->picture(), drawnAt(125, u"large"_qs, triangle));
    }

    // Moved to a screen of double density and back, at 100 % and 200 %: the picture drawn again
    // with as many pixels as the screen shows; copying gives it at 100 %.
    void highDensity()
    {
        StillClock colours;
        figdraw::Form1 form(colours);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Command6->click();
        for (const auto &[screen, percent] : {std::pair{u"dense"_qs, 100},
                                              {u"large"_qs, 100},
                                              {u"dense"_qs, 200},
                                              {u"large"_qs, 200}}) {
            form.move(screenNamed(screen)->availableGeometry().topLeft());
            ProgramScale::of(&form)->setPercent(percent);
            QTRY_COMPARE(form.devicePixelRatioF(), screenNamed(screen)->devicePixelRatio());
            QCOMPARE(form.Picture1->picture(), drawnAt(percent, screen, triangle));
            QCOMPARE(copied(form), drawnAt(100, screen, triangle));
        }
    }

private:
    // The keys pressed in the window, made active again after the canvases of the expected
    // pictures.
    static void press(QWidget &window, const QKeySequence &keys)
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keySequence(&window, keys);
    }
    // What Ctrl+C puts on the clipboard.
    static QImage copied(QWidget &window)
    {
        press(window, QKeySequence::Copy);
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    }

    std::optional<DialogDriver> dialogs;
};

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
