#include "qttexts.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>

using countdown::Form1;

namespace {
const QString closing = u"Нет больше негритят!"_qs;
} // namespace

// The verse writer and the rhyme window.
class TestCountdown : public QObject
{
    Q_OBJECT

private slots:
    void verseWriter();
    void init();
    void layout();
    void startAppendAndReset();
    void refusals_data();
    void refusals();
    void deepestRunAndExit();
    void paces();

private:
    void start(const std::optional<QString> &typed)
    {
        dialogs->nextAnswer(typed);
        form->Command2->click();
    }
    QStringList boxLines() const { return form->Text1->toPlainText().split(u'\n'); }

    std::unique_ptr<Form1> form;
    std::optional<DialogDriver> dialogs;
};

// Lines end with carriage return and line feed, the closing line with nothing;
// each call's writing is recorded where it begins; a run appends to what is there.
void TestCountdown::verseWriter()
{
    Verses box;
    negr(2, box);
    QCOMPARE(box.callStarts, (QList<qsizetype>{0, 115, 230}));
    QCOMPARE(box.text,
             u" 2 негритят пошли купаться в море,\r\n 2 негритят резвились на просторе,\r\n"
             "Один из них пропал и вот вам результат:\r\n\r\n"
             " 1 негритят пошли купаться в море,\r\n 1 негритят резвились на просторе,\r\n"
             "Один из них пропал и вот вам результат:\r\n\r\nНет больше негритят!"_qs);
    negr(10, box);
    QVERIFY(box.text.contains(u"негритят! 10 негритят пошли купаться в море,\r\n"_qs));
}

void TestCountdown::init()
{
    form = std::make_unique<Form1>();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    dialogs.emplace();
}

// Places, captions, fonts, focus and tab order; names for screen readers; Qt's own
// texts (the verse box's standard menu) in Russian.
void TestCountdown::layout()
{
    QCOMPARE(form->windowTitle(), u"10 негритят! "_qs);
    QCOMPARE(form->size(), QSize(378, 293));
    // clang-format off
    const struct { QWidget *widget; QRect geometry; const char *text; double points; } controls[] = {
        {form->Command1, {240, 248, 65, 33}, "Выход", 0}, {form->Command2, {48, 248, 65, 33}, "Пуск", 0},
        {form->Command3, {144, 248, 65, 33}, "Сброс", 0}, {form->Label1, {104, 216, 33, 17}, "n", 9.75},
        {form->Text1, {16, 8, 345, 185}, "Стихи", 8.25},  {form->Text2, {144, 208, 65, 33}, "Количество", 12},
    };
    // clang-format on
    for (const auto &control : controls) {
        QCOMPARE(control.widget->geometry(), control.geometry);
        if (auto *button = qobject_cast<QPushButton *>(control.widget)) {
            QCOMPARE(button->text(), QString::fromUtf8(control.text));
            QVERIFY(!button->isDefault() && !button->autoDefault());
            continue;
        }
        QCOMPARE(control.widget->font().pointSizeF(), control.points);
        QVERIFY(control.widget->font().bold());
        auto *label = qobject_cast<QLabel *>(control.widget);
        QCOMPARE(label ? label->text() : control.widget->accessibleName(),
                 QString::fromUtf8(control.text));
    }
    QCOMPARE(form->Label1->alignment(), Qt::AlignCenter);
    QCOMPARE(form->Text1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(form->Text1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(form->Text1->verticalScrollBar()->isVisible());
    QCOMPARE(QApplication::focusWidget(), form->Command1);
    QWidget *order[] = {form->Command1, form->Command2, form->Text1, form->Command3, form->Text2};
    for (int i = 0; i + 1 < 5; ++i)
        QCOMPARE(nextInTabOrder(order[i]), order[i + 1]);

    QVERIFY(loadQtRussianTexts(*qApp));
    const std::unique_ptr<QMenu> menu(form->Text1->createStandardContextMenu());
    QVERIFY2(menu->actions().first()->text().contains(QRegularExpression(u"^&?[А-Я]"_qs)),
             qPrintable(menu->actions().first()->text()));
}

// The count shows in the count box and its verse joins the end of whatever the
// verse box holds; a count typed by hand has no effect; reset empties the verse box only.
void TestCountdown::startAppendAndReset()
{
    QTest::keyClicks(form->Text1, "Rhyme");
    QTest::keyClick(form->Text1, Qt::Key_Return);
    form->Text2->setText(u"7"_qs);
    start(u"2"_qs);
    QCOMPARE(dialogs->asked,
             (QStringList{u"введите кол-во негритят"_qs, u"*_*"_qs, {}, u"ОК"_qs, u"Отмена"_qs}));
    QVERIFY(dialogs->promptHadFocus);
    QCOMPARE(form->Text2->text(), u" 2"_qs);
    Verses verses;
    negr(2, verses);
    QCOMPARE(form->Text1->toPlainText(), u"Rhyme\n"_qs + verses.text.replace(u"\r\n"_qs, u"\n"_qs));
    if (QGuiApplication::platformName() == u"xcb") { // on a real X server, what a person sees
        const QImage shot = screenshot(form.get(), u"countdown-verse-2.png"_qs);
        QVERIFY(inkBounds(shot, form->Text1->geometry().adjusted(4, 4, -24, -4)).height() > 100);
        QVERIFY(!inkBounds(shot, form->Text2->geometry().adjusted(3, 3, -3, -3)).isEmpty());
    }
    start(QLocale().toString(0.5, 'f', 1)); // half to even: 0
    QCOMPARE(form->Text2->text(), u" 0"_qs);
    start(u"1"_qs);
    QCOMPARE(boxLines()[9], closing + closing + u" 1 негритят пошли купаться в море,"_qs);

    form->Command3->click();
    QCOMPARE(form->Text1->toPlainText(), QString());
    QCOMPARE(form->Text2->text(), u" 1"_qs);
    start(QLocale().toString(3.5, 'f', 1));
    QCOMPARE(form->Text2->text(), u" 4"_qs);
    QCOMPARE(boxLines().size(), 17);
}

void TestCountdown::refusals_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("report");
    const QString markup = u"<b>"_qs + QString(50, u'x');
    const QString outOfRange = u"Переполнение: «40000» — число должно быть от -32768 до 32767."_qs;
    QTest::newRow("cancel") << std::optional<QString>() << QString();
    QTest::newRow("not a number") << std::optional(
            markup) << u"Несоответствие типа: «%1…» — не число."_qs.arg(markup.first(40));
    QTest::newRow("40000") << std::optional(u"40000"_qs) << outOfRange;
    QTest::newRow("-32768") << std::optional(u"-32768"_qs)
                            << u"Количество не может быть отрицательным: «-32768»."_qs;
}

// A refused start reports plainly (a cancelled one not at all) and leaves both boxes.
void TestCountdown::refusals()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, report);
    start(u"1"_qs);
    const QString verses = form->Text1->toPlainText();
    start(typed);
    QCOMPARE(dialogs->reportText, report);
    if (!report.isEmpty()) {
        QCOMPARE(dialogs->reportTitle, u"10 негритят! "_qs);
        QCOMPARE(dialogs->reportFormat, Qt::PlainText);
        QVERIFY(dialogs->reportHadFocus);
    }
    QCOMPARE(form->Text1->toPlainText(), verses);
    QCOMPARE(form->Text2->text(), u" 1"_qs);
    QVERIFY(form->isVisible());
}

// The largest count nests 32768 calls on the main thread's stack, in every build.
void TestCountdown::deepestRunAndExit()
{
    start(u"32767"_qs);
    QCOMPARE(form->Text2->text(), u" 32767"_qs);
    QTextDocument *document = form->Text1->document();
    QCOMPARE(document->blockCount(), 131069);
    QCOMPARE(document->firstBlock().text(), u" 32767 негритят пошли купаться в море,"_qs);
    QCOMPARE(document->findBlockByNumber(131064).text(), u" 1 негритят пошли купаться в море,"_qs);
    QCOMPARE(document->lastBlock().text(), closing);
    form->Command1->click();
    QVERIFY(!form->isVisible());
}

// A verse written step by step, then finished by the next start or by Esc, gives
// the text written at once, and Space presses no button; reset stops the writing.
void TestCountdown::paces()
{
    const auto paceItem = [this](const QString &adverb) {
        for (QAction *action : form->findChildren<QAction *>())
            if (action->text() == u"Писать "_qs + adverb)
                return action;
        return static_cast<QAction *>(nullptr);
    };
    start(u"2"_qs);
    start(u"1"_qs);
    const QString atOnce = form->Text1->toPlainText();
    form->Command3->click();
    paceItem(u"по шагам"_qs)->trigger();
    start(u"2"_qs);
    QCOMPARE(boxLines().size(), 5);
    QTest::keyClick(form->Command1, Qt::Key_Space);
    QCOMPARE(boxLines().size(), 9);
    QVERIFY(form->isVisible());
    start(u"1"_qs); // finishes the verse for 2 first
    QCOMPARE(form->Text2->text(), u" 1"_qs);
    QTest::keyClick(form->Text1, Qt::Key_Escape);
    QCOMPARE(form->Text1->toPlainText(), atOnce);
    paceItem(u"быстро"_qs)->trigger();
    start(u"100"_qs);
    form->Command3->click();
    QTest::qWait(120);
    QCOMPARE(form->Text1->toPlainText(), QString());
}

QTEST_MAIN(TestCountdown)
#include "tst_countdown.moc"
