#include "captionbutton.h"
#include "figurewindow.h"
#include "picturebox.h"
#include "windowtest.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>

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

} // namespace

// The figure window and its canvas.
class TestFigdrawWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void layout();
    void figureCommands_data();
    void figureCommands();
    void refusals_data();
    void refusals();
    void canvas();
    void paces_data();
    void paces();
    void stepByStep();
    void copyAndSave();

private:
    QPushButton *command(int number)
    {
        return std::array{
                form->Command1, form->Command2, form->Command3, form->Command4,
                form->Command5, form->Command6, form->Command7, form->Command8}[number - 1];
    }
    QImage drawnAfter(QPushButton *button, const std::optional<QString> &typed)
    {
        dialogs->nextAnswer(typed);
        button->click();
        return form->Picture1->picture();
    }
    // The label's three numbers, as "calls/depth/shapes".
    QString counts() const
    {
        return form->Label2->text().remove(QRegularExpression(u"[^0-9\n]"_qs)).replace(u'\n', u'/');
    }
    QAction *menuItem(const QString &text)
    {
        for (QAction *action : form->Picture1->menu()->actions())
            if (action->text() == text || action->text() == u"Рисовать "_qs + text)
                return action;
        return nullptr;
    }

    StillClock colours;
    std::unique_ptr<Form1> form;
    std::optional<DialogDriver> dialogs;
};

void TestFigdrawWindow::init()
{
    colours = StillClock();
    form = std::make_unique<Form1>(colours);
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    dialogs.emplace();
}

// Places, captions, fonts and tab order.
void TestFigdrawWindow::layout()
{
    QCOMPARE(form->windowTitle(), u"Form1"_qs);
    QCOMPARE(form->size(), QSize(630, 531));
    // clang-format off
    const struct { QWidget *widget; QRect geometry; const char *text; double points; bool bold; } controls[] = {
        {form->Command1, {448, 80, 129, 41}, "Окружности по горизонтали", 9.75, false},
        {form->Command7, {448, 136, 129, 41}, "Окружности по вертикали", 9.75, false},
        {form->Command2, {448, 192, 129, 41}, "Снежинка", 9.75, false},
        {form->Command5, {448, 248, 129, 41}, "Снежинка 6-конечная", 9.75, false},
        {form->Command6, {448, 304, 129, 41}, "Салфетка Серпинского", 9.75, false},
        {form->Command8, {448, 360, 129, 41}, "Окружности по диагонали", 9.75, false},
        {form->Command3, {72, 472, 129, 41}, "Сброс", 12, true},
        {form->Command4, {240, 472, 129, 41}, "Выход", 12, true},
        {form->Label1, {80, 16, 465, 33}, "Построение рекурсивных изображений", 13.5, true},
        {form->Label2, {448, 416, 129, 97}, "", 9.75, false},
        {form->Picture1, {24, 64, 393, 393}, "", 0, false},
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
    QCOMPARE(form->Picture1->contentsRect(), QRect(2, 2, 389, 389));
    QCOMPARE(form->Picture1->accessibleName(), u"Рисунок"_qs);
    QWidget *tabOrder[]
            = {form->Picture1, form->Command1, form->Command2, form->Command3, form->Command4,
               form->Command5, form->Command6, form->Command7, form->Command8};
    for (int i = 0; i + 1 < 9; ++i)
        QCOMPARE(nextInTabOrder(tabOrder[i]), tabOrder[i + 1]);
}

void TestFigdrawWindow::figureCommands_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<Procedure>("procedure");
    QTest::addColumn<QList<double>>("start"); // the coordinate system's corners, then x, y, size
    QTest::addColumn<QString>("counts");
    const QString r = u"Введите R<40"_qs, decimal = u"33"_qs + QLocale().decimalPoint() + u"75"_qs;
    // clang-format off
    QTest::newRow("horizontal") << 1 << u"30"_qs << r << &Figures::Ris1 << QList<double>{0, 0, 200, 200, 100, 100, 30}
                                << u"Вызовов: 15\nГлубина: 4\nОкружностей: 7"_qs;
    QTest::newRow("vertical") << 7 << decimal << r << &Figures::Ris2 << QList<double>{0, 0, 200, 200, 100, 100, 33.75}
                              << u"Вызовов: 31\nГлубина: 5\nОкружностей: 15"_qs;
    QTest::newRow("diagonal") << 8 << u"30"_qs << r << &Figures::Diag << QList<double>{0, 0, 200, 200, 100, 100, 30}
                              << u"Вызовов: 15\nГлубина: 4\nОкружностей: 7"_qs;
    QTest::newRow("snowflake") << 2 << u"60"_qs << u"Введите длину луча d<100"_qs << &Figures::Ris
                               << QList<double>{-100, 100, 100, -100, 0, 0, 60} << u"Вызовов: 341\nГлубина: 5\nЛиний: 340"_qs;
    QTest::newRow("six-armed") << 5 << u"60"_qs << u"Введите d<80"_qs << &Figures::Ris3
                               << QList<double>{-100, 100, 100, -100, 0, 0, 60} << u"Вызовов: 259\nГлубина: 4\nЛиний: 129"_qs;
    QTest::newRow("triangle") << 6 << QString() << QString() << &Figures::Treug
                              << QList<double>{0, 0, 100, 100, 50, 0, 100} << u"Вызовов: 40\nГлубина: 4\nЛиний: 78"_qs;
    // clang-format on
}

// Each button asks its question (the triangle none) and paints what its figure
// draws from its start point in its coordinate system; the label, read out by
// screen readers as it stands, tells how the figure recursed.
void TestFigdrawWindow::figureCommands()
{
    QFETCH(int, button);
    QFETCH(QString, typed);
    QFETCH(QString, prompt);
    QFETCH(Procedure, procedure);
    QFETCH(QList<double>, start);
    QFETCH(QString, counts);
    drawnAfter(form->Command6, {}); // a figure lands on top of the one before
    const QImage drawn = drawnAfter(command(button), typed);
    QCOMPARE(dialogs->prompts, prompt.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty()) {
        QCOMPARE(dialogs->asked,
                 (QStringList{prompt, u"Ввод данных"_qs, {}, u"ОК"_qs, u"Отмена"_qs}));
        QVERIFY(dialogs->promptHadFocus);
    }
    QCOMPARE(form->Label2->text(), counts);
    QCOMPARE(QAccessible::queryAccessibleInterface(form->Label2)->text(QAccessible::Name), counts);

    StillClock sameColours;
    PictureBox expected;
    Figures figures(expected, sameColours);
    figures.Pi = 3.14157f;
    expected.SetScale(0, 0, 100, 100);
    figures.Treug(50, 0, 100);
    expected.SetScale(qint16(start[0]), qint16(start[1]), qint16(start[2]), qint16(start[3]));
    (figures.*procedure)(start[4], start[5], start[6]);
    QCOMPARE(drawn, expected.picture());
    if (QGuiApplication::platformName() == u"xcb") // on a real X server, what a person sees
        QCOMPARE(screenshot(form.get(), u"figdraw-%1.png"_qs.arg(QTest::currentDataTag()))
                         .copy(form->Picture1->geometry().adjusted(2, 2, -2, -2)),
                 drawn);
}

void TestFigdrawWindow::refusals_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("report");
    const QString markup = u"<b>"_qs + QString(50, u'x');
    const QString tooLarge
            = u"Слишком большой размер: рисунок потребовал бы больше 1 500 000 %1."_qs;
    // clang-format off
    QTest::newRow("cancel") << 1 << std::optional<QString>() << QString();
    QTest::newRow("not a number") << 2 << std::optional(markup)
                                  << u"Несоответствие типа: «%1…» — не число."_qs.arg(markup.first(40));
    QTest::newRow("overflow") << 5 << std::optional(u"1e400"_qs) << u"Переполнение: «1e400» — слишком большое число."_qs;
    QTest::newRow("circles") << 8 << std::optional(u"33253"_qs) << tooLarge.arg(u"окружностей");
    QTest::newRow("lines") << 2 << std::optional(u"5120"_qs) << tooLarge.arg(u"линий");
    // clang-format on
}

// What is refused is reported plainly, or not at all when cancelled; it draws
// nothing, and the label keeps the counts of the figure before.
void TestFigdrawWindow::refusals()
{
    QFETCH(int, button);
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, report);
    const QImage before = drawnAfter(form->Command7, u"20"_qs);
    const QString counts = form->Label2->text();
    QCOMPARE(drawnAfter(command(button), typed), before);
    QCOMPARE(form->Label2->text(), counts);
    QCOMPARE(dialogs->reportText, report);
    if (!report.isEmpty()) {
        QCOMPARE(dialogs->reportTitle, u"Form1"_qs);
        QCOMPARE(dialogs->reportFormat, Qt::PlainText);
        QVERIFY(dialogs->reportHadFocus);
    }
    QVERIFY(form->isVisible());
}

// The sixteen colours; the coordinate systems; a chained line in another colour
// through one open painter; circles skipped as invisible change nothing.
void TestFigdrawWindow::canvas()
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
    QCOMPARE(inkBounds(box.picture()), QRect());
    box.DrawCircle(100, 100, 100, magenta);
    QCOMPARE(box.picture(), circle);

    box.ClearCanvas();
    box.SetScale(-100, 100, 100, -100);
    box.DrawLine(0, 0, 0, 50, magenta);
    box.DrawLine(50, 50, blue); // while the same painter is still open
    const QImage lines = box.picture();
    QCOMPARE(inkBounds(lines), QRect(194, 97, 98, 98));
    QCOMPARE(lines.pixel(194, 150), magenta);
    QCOMPARE(lines.pixel(250, 97), blue);

    // Just inside and outside the area, enclosing it just or well, or far away.
    const float circles[][3] = {{100, 100, 141}, {100, 100, 1e6f}, {-1, 100, 1.5},
                                {-1, 100, 0.9},  {-50, -50, 3},    {0, 0, 283}};
    box.ClearCanvas();
    box.SetScale(0, 0, 200, 200);
    QImage painted(389, 389, QImage::Format_RGB32);
    painted.fill(white);
    QPainter painter(&painted);
    painter.setPen(QPen(QColor::fromRgb(magenta), 1));
    const double scale = 389.0 / 200;
    for (const auto &c : circles) {
        box.DrawCircle(c[0], c[1], c[2], magenta);
        painter.drawEllipse(QPointF(c[0] * scale, c[1] * scale), c[2] * scale, c[2] * scale);
    }
    painter.end();
    QCOMPARE(box.picture(), painted);

    // Shown (run a second time with QT_SCALE_FACTOR=2), the picture gets as many pixels
    // as the screen, keeps what was drawn, stays sharp and survives hiding.
    box.ClearCanvas();
    box.DrawCircle(100, 100, 100, magenta);
    box.show();
    box.hide();
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const int ratio = int(box.devicePixelRatioF());
    box.DrawLine(0, 100, 200, 100, magenta);
    const QImage picture = box.picture();
    QCOMPARE(box.grab(box.contentsRect()).toImage().convertToFormat(QImage::Format_RGB32), picture);
    QCOMPARE(inkBounds(picture), QRect(QPoint(0, 0), QSize(389, 389) * ratio));
    QList<QRgb> across; // the new stroke, ratio device pixels thick, without blur
    for (int y = picture.height() / 2 - 3; y <= picture.height() / 2 + 3; ++y)
        across << picture.pixel(picture.width() / 3, y);
    QCOMPARE(across.count(magenta), ratio);
    QCOMPARE(across.count(white), 7 - ratio);
}

void TestFigdrawWindow::paces_data()
{
    QTest::addColumn<QString>("pace");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("finalCounts");
    QTest::newRow("fast, to the end") << u"быстро"_qs << QString() << u"15/4/7"_qs;
    QTest::newRow("slow, Esc") << u"медленно"_qs << u"Esc"_qs << u"15/4/7"_qs;
    QTest::newRow("steps, then at once") << u"по шагам"_qs << u"сразу"_qs << u"15/4/7"_qs;
    QTest::newRow("steps, then a figure") << u"по шагам"_qs << u"figure"_qs << u"1/1/1"_qs;
    QTest::newRow("fast, then reset") << u"быстро"_qs << u"reset"_qs << QString();
}

// At every pace a figure starts with its first call drawn and ends as it does
// at once, however it is ended; a figure button finishes it first; reset stops it.
void TestFigdrawWindow::paces()
{
    QFETCH(QString, pace);
    QFETCH(QString, ending);
    QFETCH(QString, finalCounts);
    const QImage blank = form->Picture1->picture();
    const QImage atOnce = drawnAfter(form->Command1, u"30"_qs);
    form->Command3->click();
    menuItem(pace)->trigger();
    QVERIFY(menuItem(pace)->isChecked() && !menuItem(u"сразу"_qs)->isChecked());
    QVERIFY(drawnAfter(form->Command1, u"30"_qs) != blank);
    QCOMPARE(counts(), u"1/1/1"_qs);
    if (ending.isEmpty())
        QTRY_COMPARE(counts(), finalCounts);
    else if (ending == u"Esc")
        QTest::keyClick(form->Command4, Qt::Key_Escape);
    else if (ending == u"сразу")
        menuItem(ending)->trigger();
    else
        drawnAfter(ending == u"figure" ? form->Command1 : form->Command3, u"30"_qs);
    QTest::qWait(120);
    QCOMPARE(form->Picture1->picture(), ending == u"reset" ? blank : atOnce);
    QCOMPARE(counts(), finalCounts);
}

// Step by step: Space, Right and a click on the canvas each draw the next call,
// and Space does not press the focused button; the last step's shapes are
// marked on the screen only, never in the picture. Exit then closes the window.
void TestFigdrawWindow::stepByStep()
{
    const QImage atOnce = drawnAfter(form->Command1, u"30"_qs);
    form->Command3->click();
    menuItem(u"по шагам"_qs)->trigger();
    drawnAfter(form->Command1, u"30"_qs);
    QStringList seen{counts()};
    for (int key : {Qt::Key_Space, Qt::Key_Right, Qt::Key_Space, Qt::Key_Right}) {
        QTest::keyClick(form->Command4, Qt::Key(key));
        seen << counts();
    }
    const QImage screen = form->Picture1->grab(form->Picture1->contentsRect()).toImage();
    QVERIFY(screen.convertToFormat(QImage::Format_RGB32) != form->Picture1->picture());
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(form->Picture1, Qt::LeftButton);
        seen << counts();
    }
    QCOMPARE(seen,
             (QStringList{u"1/1/1"_qs, u"2/2/2"_qs, u"3/3/3"_qs, u"6/3/4"_qs, u"9/2/5"_qs,
                          u"10/3/6"_qs, u"15/4/7"_qs}));
    QVERIFY(form->isVisible());
    QCOMPARE(form->Picture1->picture(), atOnce);
    form->Command4->click();
    QVERIFY(!form->isVisible());
}

// The picture goes to the clipboard and into a PNG file pixel for pixel, by the
// shortcuts wherever the focus is; a save that fails is reported and leaves no file.
void TestFigdrawWindow::copyAndSave()
{
    const QImage picture = drawnAfter(form->Command6, {});
    QTest::keySequence(form.get(), QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);
    // A limit on the size of files makes the second save fail as a full disk does.
    const QTemporaryDir folder;
    rlimit unlimited{}, tiny{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    tiny = {1000, unlimited.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    for (const QString &name : {u"рисунок.png"_qs, u"полный диск.png"_qs}) {
        dialogs->nextAnswer(folder.filePath(name));
        setrlimit(RLIMIT_FSIZE, name == u"рисунок.png" ? &unlimited : &tiny);
        QTest::keySequence(form.get(), QKeySequence::Save);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QCOMPARE(dialogs->asked.value(0), u"Сохранить рисунок"_qs);
        QVERIFY(dialogs->asked.value(1).startsWith(QDir::homePath()));
        QVERIFY(dialogs->asked.value(1).endsWith(u"/рисунок.png"_qs));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"рисунок.png"_qs});
    QCOMPARE(QImage(folder.filePath(u"рисунок.png"_qs)).convertToFormat(QImage::Format_RGB32),
             picture);
    QCOMPARE(dialogs->reportText,
             u"Не удалось сохранить рисунок «%1…»: %2."_qs.arg(
                     folder.filePath(u"полный диск.png"_qs).first(40),
                     QString::fromLocal8Bit(std::strerror(EFBIG))));
    dialogs->nextAnswer(std::nullopt); // a cancelled dialog saves and reports nothing
    menuItem(u"Сохранить рисунок…"_qs)->trigger();
    QCOMPARE(dialogs->reportText, QString());
}

QTEST_MAIN(TestFigdrawWindow)
#include "tst_figdrawwindow.moc"
