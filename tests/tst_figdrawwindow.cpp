#include "captionbutton.h"
#include "dialogdriver.h"
#include "figurewindow.h"
#include "hostileinputs.h"
#include "picturebox.h"

#include <QLabel>
#include <QTest>
#include <QTextLayout>

using figdraw::Form1;

class TestFigdrawWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout();
    void captionsWrapWhole();
    void tabOrder();
    void chainThroughTheRealPrompt();
    void typedDecimalUsesTheLocale();
    void refusalsKeepTheCanvas_data();
    void refusalsKeepTheCanvas();
    void resetEmptiesCanvasAndCounts();
    void snowflakesAndTriangle();
    void snowflakeSizesRefused();
    void sameFigureAfterReset();
    void figuresOverlay();
    void hostileInput_data() { addHostileInputs(); }
    void hostileInput();
    void exitCloses();

private:
    QImage drawnAfter(QPushButton *button, const QString &typed);

    RandomColours colours;
    Form1 *form = nullptr;
    DialogDriver *dialogs = nullptr;
};

void TestFigdrawWindow::init()
{
    form = new Form1(colours);
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    dialogs = new DialogDriver;
}

void TestFigdrawWindow::cleanup()
{
    delete dialogs;
    delete form;
}

QImage TestFigdrawWindow::drawnAfter(QPushButton *button, const QString &typed)
{
    dialogs->nextAnswer(typed);
    button->click();
    return form->Picture1->picture();
}

void TestFigdrawWindow::layout()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(form->size(), QSize(630, 531));
    struct Expected
    {
        QWidget *widget;
        QRect geometry;
        const char *text;
        double points;
        bool bold;
    };
    const Expected controls[] = {
            {form->Picture1, {24, 64, 393, 393}, nullptr, 0, false},
            {form->Command1, {448, 80, 129, 41}, "Окружности по горизонтали", 9.75, false},
            {form->Command2, {448, 192, 129, 41}, "Снежинка", 9.75, false},
            {form->Command3, {72, 472, 129, 41}, "Сброс", 12, true},
            {form->Command4, {240, 472, 129, 41}, "Выход", 12, true},
            {form->Command5, {448, 248, 129, 41}, "Снежинка 6-конечная", 9.75, false},
            {form->Command6, {448, 304, 129, 41}, "Салфетка Серпинского", 9.75, false},
            {form->Label1, {80, 16, 465, 33}, "Построение рекурсивных изображений", 13.5, true},
            {form->Command7, {448, 136, 129, 41}, "Окружности по вертикали", 9.75, false},
            {form->Command8, {448, 360, 129, 41}, "Окружности по диагонали", 9.75, false},
            {form->Label2, {448, 416, 129, 97}, "", 9.75, false},
    };
    for (const Expected &control : controls) {
        QCOMPARE(control.widget->geometry(), control.geometry);
        if (!control.text)
            continue;
        const auto *button = qobject_cast<QPushButton *>(control.widget);
        const QString text
                = button ? button->text() : qobject_cast<QLabel *>(control.widget)->text();
        QCOMPARE(text, QString::fromUtf8(control.text));
        QCOMPARE(control.widget->font().pointSizeF(), control.points);
        QCOMPARE(control.widget->font().bold(), control.bold);
    }
    QCOMPARE(form->Label1->alignment(), Qt::AlignCenter);
}

// Every caption is laid out whole inside its button, its lines breaking only at blanks.
void TestFigdrawWindow::captionsWrapWhole()
{
    for (auto *button : form->findChildren<CaptionButton *>()) {
        const QRect room = button->captionRect();
        const QString caption = button->drawnCaption();
        const QFontMetrics metrics(button->font());
        const QRect needed
                = metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, caption);
        QVERIFY2(room.contains(needed), qPrintable(caption));
        QTextLayout layout(caption, button->font());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(room.width());
        layout.endLayout();
        for (int i = 0; i + 1 < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            QVERIFY2(caption[line.textStart() + line.textLength() - 1] == u' ',
                     qPrintable(caption));
        }
        for (const QString &word : caption.split(u' '))
            QVERIFY2(metrics.horizontalAdvance(word) <= room.width(), qPrintable(word));
        QCOMPARE(QString(caption).replace(QChar(0x2011), u'-'), button->text());
    }
}

void TestFigdrawWindow::tabOrder()
{
    const QList<QWidget *> expected
            = {form->Picture1, form->Command1, form->Command2, form->Command3, form->Command4,
               form->Command5, form->Command6, form->Command7, form->Command8};
    const auto nextFocus = [](QWidget *widget) {
        do
            widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus);
        return widget;
    };
    for (int i = 0; i + 1 < expected.size(); ++i)
        QCOMPARE(nextFocus(expected[i]), expected[i + 1]);
}

void TestFigdrawWindow::chainThroughTheRealPrompt()
{
    dialogs->likeAPerson = true;
    const QImage picture = drawnAfter(form->Command1, QStringLiteral("30"));
    QCOMPARE(dialogs->promptLabel, QStringLiteral("Введите R<40"));
    QCOMPARE(dialogs->promptTitle, QStringLiteral("Ввод данных"));
    QCOMPARE(dialogs->promptDefault, QString());
    QCOMPARE(dialogs->okText, QStringLiteral("ОК"));
    QCOMPARE(dialogs->cancelText, QStringLiteral("Отмена"));
    QVERIFY(dialogs->promptHadFocus);
    QCOMPARE(dialogs->reports, 0);
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 15\nГлубина: 4\nОкружностей: 7"));
    // The first circle's leftmost point, 30 units left of the centre.
    QCOMPARE(picture.pixel(qRound(70 * 389 / 200.0), 194), qRgb(128, 0, 128));

    // The vertical and diagonal chains of the same size add their own circles.
    dialogs->likeAPerson = false;
    const QImage withVertical = drawnAfter(form->Command7, QStringLiteral("30"));
    QVERIFY(withVertical != picture);
    QVERIFY(drawnAfter(form->Command8, QStringLiteral("30")) != withVertical);
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 15\nГлубина: 4\nОкружностей: 7"));
}

void TestFigdrawWindow::typedDecimalUsesTheLocale()
{
    const QString separator = QLocale::system().decimalPoint();
    drawnAfter(form->Command1, u"33"_qs + separator + u"74"_qs);
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 15\nГлубина: 4\nОкружностей: 7"));
    drawnAfter(form->Command1, u"33"_qs + separator + u"75"_qs);
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 31\nГлубина: 5\nОкружностей: 15"));
}

void TestFigdrawWindow::refusalsKeepTheCanvas_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("report");
    // Texts that are not numbers go through hostileInput.
    QTest::newRow("cancel") << std::optional<QString>() << QString();
    QTest::newRow("too many circles")
            << std::optional<QString>(u"33253"_qs)
            << u"Слишком большой размер: рисунок потребовал бы больше 1 500 000 окружностей."_qs;
}

// Nothing that is refused draws, and the counts of the last figure stay.
void TestFigdrawWindow::refusalsKeepTheCanvas()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, report);
    const QImage before = drawnAfter(form->Command7, QStringLiteral("20"));
    const QString counts = form->Label2->text();
    for (QPushButton *command : {form->Command1, form->Command7, form->Command8}) {
        dialogs->reportText.clear();
        dialogs->nextAnswer(typed);
        command->click();
        QCOMPARE(dialogs->reportText, report);
        if (!report.isEmpty()) {
            QCOMPARE(dialogs->reportTitle, QStringLiteral("Form1"));
            QVERIFY(dialogs->reportHadFocus);
        }
        QCOMPARE(form->Picture1->picture(), before);
        QCOMPARE(form->Label2->text(), counts);
    }
    QVERIFY(form->isVisible());
}

void TestFigdrawWindow::resetEmptiesCanvasAndCounts()
{
    const QImage blank = form->Picture1->picture();
    const QImage drawn = drawnAfter(form->Command1, QStringLiteral("39"));
    QVERIFY(drawn != blank);
    form->Command3->click();
    QCOMPARE(form->Picture1->picture(), blank);
    QCOMPARE(form->Label2->text(), QString());
    // The same command after reset draws the same picture.
    QCOMPARE(drawnAfter(form->Command1, QStringLiteral("39")), drawn);
}

void TestFigdrawWindow::snowflakesAndTriangle()
{
    drawnAfter(form->Command2, QStringLiteral("60"));
    QCOMPARE(dialogs->promptLabel, QStringLiteral("Введите длину луча d<100"));
    QCOMPARE(dialogs->promptTitle, QStringLiteral("Ввод данных"));
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 341\nГлубина: 5\nЛиний: 340"));

    drawnAfter(form->Command5, QStringLiteral("60"));
    QCOMPARE(dialogs->promptLabel, QStringLiteral("Введите d<80"));
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 259\nГлубина: 4\nЛиний: 129"));

    const int prompts = dialogs->prompts;
    form->Command6->click();
    QCOMPARE(dialogs->prompts, prompts); // the triangle asks nothing
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 40\nГлубина: 4\nЛиний: 78"));
}

void TestFigdrawWindow::snowflakeSizesRefused()
{
    const QString tooMany = QStringLiteral(
            "Слишком большой размер: рисунок потребовал бы больше 1 500 000 линий.");
    const QImage blank = form->Picture1->picture();
    for (auto [command, size] :
         {std::pair(form->Command2, u"5120"_qs), std::pair(form->Command5, u"32805"_qs)}) {
        dialogs->reportText.clear();
        drawnAfter(command, size);
        QCOMPARE(dialogs->reportText, tooMany);
        QCOMPARE(form->Picture1->picture(), blank);
    }
    drawnAfter(form->Command2, QStringLiteral("5119"));
    QCOMPARE(form->Label2->text(), QStringLiteral("Вызовов: 1398101\nГлубина: 11\nЛиний: 1398100"));
}

// Reset followed by the same command paints the same pixels; the triangle's
// colours change from click to click, its shape does not.
void TestFigdrawWindow::sameFigureAfterReset()
{
    for (QPushButton *command : {form->Command2, form->Command5}) {
        const QImage first = drawnAfter(command, QStringLiteral("60"));
        form->Command3->click();
        QCOMPARE(drawnAfter(command, QStringLiteral("60")), first);
        form->Command3->click();
    }
    const auto shape = [this] {
        form->Command6->click();
        QImage image = form->Picture1->picture();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y,
                               image.pixel(x, y) == qRgb(255, 255, 255) ? 0xffffffff : 0xff000000);
        return image;
    };
    const QImage first = shape();
    form->Command3->click();
    QCOMPARE(shape(), first);
}

// A figure drawn without reset lands on top of the one before, each in its own coordinates.
void TestFigdrawWindow::figuresOverlay()
{
    const QImage snowflake = drawnAfter(form->Command2, QStringLiteral("60"));
    form->Command3->click();
    const QImage chain = drawnAfter(form->Command1, QStringLiteral("30"));
    form->Command3->click();
    drawnAfter(form->Command2, QStringLiteral("60"));
    const QImage both = drawnAfter(form->Command1, QStringLiteral("30"));
    QVERIFY(snowflake != chain);
    for (int y = 0; y < both.height(); ++y)
        for (int x = 0; x < both.width(); ++x) {
            const QRgb top = chain.pixel(x, y);
            QCOMPARE(both.pixel(x, y), top != qRgb(255, 255, 255) ? top : snowflake.pixel(x, y));
        }
}

// Each figure command either reports the text plainly or draws nothing at all.
void TestFigdrawWindow::hostileInput()
{
    QFETCH(QString, typed);
    QFETCH(Reads, reads);
    const QImage blank = form->Picture1->picture();
    for (QPushButton *command : {form->Command1, form->Command2, form->Command5}) {
        dialogs->reportText.clear();
        drawnAfter(command, typed);
        switch (reads) {
        case Reads::NotANumber:
            QCOMPARE(dialogs->reportText,
                     u"Несоответствие типа: «%1» — не число."_qs.arg(quoted(typed)));
            break;
        case Reads::Overflow:
            QCOMPARE(dialogs->reportText,
                     u"Переполнение: «%1» — слишком большое число."_qs.arg(quoted(typed)));
            break;
        case Reads::Zero:
            QCOMPARE(dialogs->reportText, QString()); // a size of zero draws nothing
            break;
        }
        if (reads != Reads::Zero)
            QCOMPARE(dialogs->reportFormat, Qt::PlainText);
        QCOMPARE(form->Picture1->picture(), blank);
        QVERIFY(form->isVisible());
    }
}

void TestFigdrawWindow::exitCloses()
{
    form->Command4->click();
    QVERIFY(!form->isVisible());
}

QTEST_MAIN(TestFigdrawWindow)
#include "tst_figdrawwindow.moc"
