#include "dialogdriver.h"
#include "hostileinputs.h"
#include "rhymewindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

using countdown::Form1;

class TestCountdownWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout();
    void focusAndTabOrder();
    void startThroughTheRealPrompt();
    void typedCounts_data();
    void typedCounts();
    void appendsAndResets();
    void refusalsKeepBothBoxes_data();
    void refusalsKeepBothBoxes();
    void deepestRunInTheBox();
    void hostileInput_data() { addHostileInputs(); }
    void hostileInput();
    void exitCloses();

private:
    void start(const std::optional<QString> &typed);
    QStringList boxLines() const { return form->Text1->toPlainText().split(u'\n'); }

    Form1 *form = nullptr;
    DialogDriver *dialogs = nullptr;
};

void TestCountdownWindow::init()
{
    form = new Form1;
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    dialogs = new DialogDriver;
}

void TestCountdownWindow::cleanup()
{
    delete dialogs;
    delete form;
}

void TestCountdownWindow::start(const std::optional<QString> &typed)
{
    dialogs->nextAnswer(typed);
    form->Command2->click();
}

void TestCountdownWindow::layout()
{
    QCOMPARE(form->windowTitle(), u"10 негритят! "_qs);
    QCOMPARE(form->size(), QSize(378, 293));
    QCOMPARE(form->Command1->geometry(), QRect(240, 248, 65, 33));
    QCOMPARE(form->Command2->geometry(), QRect(48, 248, 65, 33));
    QCOMPARE(form->Text1->geometry(), QRect(16, 8, 345, 185));
    QCOMPARE(form->Command3->geometry(), QRect(144, 248, 65, 33));
    QCOMPARE(form->Text2->geometry(), QRect(144, 208, 65, 33));
    QCOMPARE(form->Label1->geometry(), QRect(104, 216, 33, 17));
    QCOMPARE(form->Command1->text(), u"Выход"_qs);
    QCOMPARE(form->Command2->text(), u"Пуск"_qs);
    QCOMPARE(form->Command3->text(), u"Сброс"_qs);
    QCOMPARE(form->Label1->text(), u"n"_qs);
    QCOMPARE(form->Label1->alignment(), Qt::AlignCenter);
    QCOMPARE(form->Text1->font().pointSizeF(), 8.25);
    QCOMPARE(form->Text2->font().pointSizeF(), 12.0);
    QCOMPARE(form->Label1->font().pointSizeF(), 9.75);
    QVERIFY(form->Text1->font().bold() && form->Text2->font().bold()
            && form->Label1->font().bold());
    QCOMPARE(form->Text1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(form->Text1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(form->Text1->verticalScrollBar()->isVisible());
    QVERIFY(!form->Text1->isReadOnly() && !form->Text2->isReadOnly());
    for (QPushButton *button : {form->Command1, form->Command2, form->Command3})
        QVERIFY(!button->isDefault() && !button->autoDefault());
}

void TestCountdownWindow::focusAndTabOrder()
{
    QCOMPARE(QApplication::focusWidget(), form->Command1);
    const QList<QWidget *> order
            = {form->Command1, form->Command2, form->Text1, form->Command3, form->Text2};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget *next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        QCOMPARE(next, order[i + 1]);
    }
}

void TestCountdownWindow::startThroughTheRealPrompt()
{
    dialogs->likeAPerson = true;
    start(u"2"_qs);
    QCOMPARE(dialogs->promptLabel, u"введите кол-во негритят"_qs);
    QCOMPARE(dialogs->promptTitle, u"*_*"_qs);
    QCOMPARE(dialogs->promptDefault, QString());
    QCOMPARE(dialogs->okText, u"ОК"_qs);
    QCOMPARE(dialogs->cancelText, u"Отмена"_qs);
    QVERIFY(dialogs->promptHadFocus);
    QCOMPARE(form->Text2->text(), u" 2"_qs);
    QCOMPARE(boxLines(),
             (QStringList{u" 2 негритят пошли купаться в море,"_qs,
                          u" 2 негритят резвились на просторе,"_qs,
                          u"Один из них пропал и вот вам результат:"_qs, QString(),
                          u" 1 негритят пошли купаться в море,"_qs,
                          u" 1 негритят резвились на просторе,"_qs,
                          u"Один из них пропал и вот вам результат:"_qs, QString(),
                          u"Нет больше негритят!"_qs}));
    QCOMPARE(form->Text1->document()->blockCount(), 9);
}

void TestCountdownWindow::typedCounts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const QString separator = QLocale::system().decimalPoint();
    QTest::newRow("blanks") << u" 3 "_qs << u" 3"_qs;
    QTest::newRow("2.5") << u"2"_qs + separator + u"5"_qs << u" 2"_qs;
    QTest::newRow("3.5") << u"3"_qs + separator + u"5"_qs << u" 4"_qs;
    QTest::newRow("0") << u"0"_qs << u" 0"_qs;
}

void TestCountdownWindow::typedCounts()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    start(typed);
    QCOMPARE(form->Text2->text(), shown);
    const int count = shown.trimmed().toInt();
    QCOMPARE(boxLines().size(), 4 * count + 1);
}

// New verses join the end of whatever the box holds; reset empties the verse box only.
void TestCountdownWindow::appendsAndResets()
{
    QTest::keyClicks(form->Text1, "Rhyme");
    QTest::keyClick(form->Text1, Qt::Key_Return);
    form->Text2->setText(u"7"_qs); // typed by hand: has no effect
    start(u"1"_qs);
    QCOMPARE(form->Text2->text(), u" 1"_qs);
    start(u"1"_qs);
    const QStringList lines = boxLines();
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[0], u"Rhyme"_qs);
    QCOMPARE(lines[5], u"Нет больше негритят! 1 негритят пошли купаться в море,"_qs);

    form->Command3->click();
    QCOMPARE(form->Text1->toPlainText(), QString());
    QCOMPARE(form->Text2->text(), u" 1"_qs);
    start(u"0"_qs);
    QCOMPARE(form->Text1->toPlainText(), u"Нет больше негритят!"_qs);
}

void TestCountdownWindow::refusalsKeepBothBoxes_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("report");
    // Texts that are not numbers go through hostileInput.
    QTest::newRow("cancel") << std::optional<QString>() << QString();
    QTest::newRow("40000") << std::optional(u"40000"_qs)
                           << u"Переполнение: «40000» — число должно быть от -32768 до 32767."_qs;
    QTest::newRow("negative") << std::optional(u"-3"_qs)
                              << u"Количество не может быть отрицательным: «-3»."_qs;
}

void TestCountdownWindow::refusalsKeepBothBoxes()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, report);
    start(u"1"_qs);
    const QString verses = form->Text1->toPlainText();
    start(typed);
    QCOMPARE(dialogs->reportText, report);
    if (!report.isEmpty()) {
        QCOMPARE(dialogs->reportTitle, u"10 негритят! "_qs);
        QVERIFY(dialogs->reportHadFocus);
    }
    QCOMPARE(form->Text1->toPlainText(), verses);
    QCOMPARE(form->Text2->text(), u" 1"_qs);
    QVERIFY(form->isVisible());
}

void TestCountdownWindow::deepestRunInTheBox()
{
    start(u"32767"_qs);
    QCOMPARE(form->Text2->text(), u" 32767"_qs);
    QCOMPARE(form->Text1->document()->blockCount(), 131069);
    QCOMPARE(form->Text1->document()->firstBlock().text(),
             u" 32767 негритят пошли купаться в море,"_qs);
    QCOMPARE(form->Text1->document()->lastBlock().text(), u"Нет больше негритят!"_qs);
}

// A start either reports the text plainly and leaves both boxes, or counts from zero.
void TestCountdownWindow::hostileInput()
{
    QFETCH(QString, typed);
    QFETCH(Reads, reads);
    start(typed);
    switch (reads) {
    case Reads::NotANumber:
        QCOMPARE(dialogs->reportText,
                 u"Несоответствие типа: «%1» — не число."_qs.arg(quoted(typed)));
        break;
    case Reads::Overflow:
        QCOMPARE(dialogs->reportText,
                 u"Переполнение: «%1» — число должно быть от -32768 до 32767."_qs.arg(
                         quoted(typed)));
        break;
    case Reads::Zero:
        QCOMPARE(dialogs->reportText, QString());
        QCOMPARE(form->Text2->text(), u" 0"_qs);
        QCOMPARE(form->Text1->toPlainText(), u"Нет больше негритят!"_qs);
        return;
    }
    QCOMPARE(dialogs->reportFormat, Qt::PlainText);
    QCOMPARE(form->Text1->toPlainText(), QString());
    QCOMPARE(form->Text2->text(), QString());
    QVERIFY(form->isVisible());
}

void TestCountdownWindow::exitCloses()
{
    form->Command1->click();
    QVERIFY(!form->isVisible());
}

QTEST_MAIN(TestCountdownWindow)
#include "tst_countdownwindow.moc"
