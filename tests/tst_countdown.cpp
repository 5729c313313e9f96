#include "callswindow.h"
#include "procedurepart.h"
#include "qttexts.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

using countdown::Form1;

namespace {
const QString closing = u"Нет больше негритят!"_qs;
} // namespace

// clang-format off
struct Scenario { QStringList steps; int lines; QString lastLine; bool newestInView; };
// The heading, the lines highlighted, the box's lines and its last one, the explanation ({}: not checked).
struct LineScenario { QStringList steps; QString heading; QList<int> highlighted; int lines; QString lastLine; QString explained = {}; };
// clang-format on

class TestCountdown : public QObject
{
    Q_OBJECT

private slots:
    // CR LF line ends, none after the closing line; where each call's writing begins.
    void verseWriter()
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
        // The largest count nests 32768 calls on the main thread's stack, in every build.
        box = {};
        negr(32767, box);
        QCOMPARE(box.callStarts.size(), 32768);
        QVERIFY(box.text.startsWith(u" 32767 негритят пошли купаться в море,\r\n"_qs));
        QVERIFY(box.text.endsWith(
                u" 1 негритят резвились на просторе,\r\n"
                "Один из них пропал и вот вам результат:\r\n\r\nНет больше негритят!"_qs));
    }
    void init()
    {
        form = std::make_unique<Form1>();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        dialogs.emplace();
    }
    // Places, captions, fonts, focus, tab order, accessible names; Qt's texts in Russian.
    void layout()
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
        QVERIFY(inTabOrder(
                {form->Command1, form->Command2, form->Text1, form->Command3, form->Text2}));

        // The verse box's menu: Qt's items in Russian, then the paces, "сразу" chosen.
        QVERIFY(loadQtRussianTexts(*qApp));
        const QStringList items = chooseFromMenu(form->Text1->viewport());
        QVERIFY2(items.value(0).contains(QRegularExpression(u"^&?[А-Я]"_qs)),
                 qPrintable(items.value(0)));
        // clang-format off
        QCOMPARE(items.mid(items.size() - 15), (QStringList{{}, u"Писать сразу ✓"_qs, u"Писать быстро"_qs, u"Писать медленно"_qs, u"Писать по шагам"_qs, u"Писать по строкам"_qs, {}, u"Крупнее"_qs, u"Мельче"_qs, u"Обычный размер"_qs, u"Урок на весь экран"_qs, {}, u"Своя процедура…"_qs, u"Показать вызовы"_qs, u"Дерево рисунком"_qs}));
        // clang-format on
    }
    // Verses join whatever the box holds; a hand-typed count does nothing; reset empties
    // the verse box only; what is refused changes neither box.
    void startAppendAndReset()
    {
        QTest::keyClicks(form->Text1, "Rhyme");
        QTest::keyClick(form->Text1, Qt::Key_Return);
        form->Text2->setText(u"7"_qs);
        start(u"2"_qs);
        QCOMPARE(dialogs->asked,
                 (QStringList{
                         u"введите кол-во негритят"_qs, u"*_*"_qs, {}, u"ОК"_qs, u"Отмена"_qs}));
        QVERIFY(dialogs->promptHadFocus);
        QCOMPARE(form->Text2->text(), u" 2"_qs);
        Verses verses;
        negr(2, verses);
        QCOMPARE(form->Text1->toPlainText(),
                 u"Rhyme\n"_qs + verses.text.replace(u"\r\n"_qs, u"\n"_qs));
        const QImage shot
                = screenshot(form.get(), u"countdown-verse-2.png"_qs); // what a person sees on X
        QVERIFY(QGuiApplication::platformName() != u"xcb"
                || inkBounds(shot, form->Text1->geometry().adjusted(4, 4, -24, -4)).height() > 100);
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

        // A refused start reports plainly (a cancelled one not at all) and leaves both boxes.
        const QString markup = u"<b>"_qs + QString(50, u'x'), verse = form->Text1->toPlainText();
        // clang-format off
        const std::pair<std::optional<QString>, QString> refused[] = {{std::nullopt, {}},
            {markup, u"Несоответствие типа: «%1…» — не число."_qs.arg(markup.first(40))},
            {u"40000"_qs, u"Переполнение: «40000» — число должно быть от -32768 до 32767."_qs},
            {u"-32768"_qs, u"Количество не может быть отрицательным: «-32768»."_qs}};
        // clang-format on
        for (const auto &[typed, report] : refused) {
            start(typed);
            QCOMPARE(dialogs->reportText, report);
            QVERIFY(report.isEmpty()
                    || (dialogs->reportTitle == u"10 негритят! " && dialogs->reportHadFocus
                        && dialogs->reportFormat == Qt::PlainText));
            QCOMPARE(form->Text1->toPlainText() + form->Text2->text(), verse + u" 4"_qs);
        }
        form->Command1->click();
        QVERIFY(!form->isVisible());
    }
    void scenarios_data()
    {
        // What the user does (a number starts a verse); then the box's lines, its last line,
        // and whether the newest line is in view.
        QTest::addColumn<Scenario>("row");
        // clang-format off
        QTest::newRow("steps follow the newest line") << Scenario{{u"по шагам"_qs, u"100"_qs, u"Space"_qs, u"Right"_qs, u"Space"_qs, u"Space"_qs, u"Space"_qs, u"wait"_qs}, 25, {}, true};
        QTest::newRow("fast, Esc") << Scenario{{u"быстро"_qs, u"100"_qs, u"tick<"_qs, u"Esc"_qs}, 401, closing, true};
        QTest::newRow("slow, Esc") << Scenario{{u"медленно"_qs, u"3"_qs, u"tick>"_qs, u"Esc"_qs}, 13, closing, true};
        QTest::newRow("Пуск finishes the verse first") << Scenario{{u"по шагам"_qs, u"2"_qs, u"1"_qs, u"Esc"_qs}, 13, closing, true};
        QTest::newRow("at once") << Scenario{{u"100"_qs}, 401, closing, false};
        QTest::newRow("reset stops") << Scenario{{u"быстро"_qs, u"100"_qs, u"reset"_qs, u"wait"_qs}, 1, {}, true};
        QTest::newRow("reset lets Space type") << Scenario{{u"по шагам"_qs, u"100"_qs, u"reset"_qs, u"type"_qs}, 1, u"a b"_qs, true};
        QTest::newRow("back at the first step") << Scenario{{u"по шагам"_qs, u"3"_qs, u"Left"_qs}, 5, {}, true};
        QTest::newRow("back from the end") << Scenario{{u"по шагам"_qs, u"2"_qs, u"Space"_qs, u"Space"_qs, u"Left"_qs}, 9, {}, true};
        QTest::newRow("back after Esc, calls shown") << Scenario{{u"calls"_qs, u"по шагам"_qs, u"2"_qs, u"Esc"_qs, u"Left"_qs}, 9, {}, true};
        QTest::newRow("one Space too many") << Scenario{{u"по шагам"_qs, u"1"_qs, u"Space"_qs, u"Space"_qs}, 5, closing, true};
        QTest::newRow("Esc, then Space") << Scenario{{u"медленно"_qs, u"3"_qs, u"Esc"_qs, u"Space"_qs}, 13, closing, true};
        // clang-format on
    }
    // Paces, steps, Esc, reset and starts mixed as a user mixes them. The keys go to
    // the exit button, which they must never press.
    void scenarios()
    {
        QFETCH(Scenario, row);
        QElapsedTimer sinceStart;
        for (const QString &step : row.steps) {
            if (commonStep(step, form->Command1, sinceStart, [&] { return boxLines().size() > 5; }))
                continue;
            if (QStringList{u"быстро"_qs, u"медленно"_qs, u"по шагам"_qs}.contains(step))
                chooseFromMenu(form->Text1->viewport(), u"Писать "_qs + step);
            else if (step == u"reset")
                form->Command3->click();
            else if (step == u"type")
                QTest::keyClicks(form->Text1, "a b");
            else
                start(step), sinceStart.start();
        }
        QCOMPARE(boxLines().size(), row.lines);
        QCOMPARE(boxLines().constLast(), row.lastLine);
        const QScrollBar *bar = form->Text1->verticalScrollBar();
        QCOMPARE(bar->value() == bar->maximum(), row.newestInView);
        QVERIFY(form->isVisible());
    }

    void lineSteps_data()
    {
        QTest::addColumn<LineScenario>("row");
        const QString lines = u"по строкам"_qs, first = u"Вызов 1 из 2"_qs,
                      second = u"Вызов 2 из 2"_qs;
        const QString finished = u"Все вызовы закончены: 2"_qs;
        // clang-format off
        QTest::newRow("the first call's test") << LineScenario{{lines, u"1"_qs}, first, {3}, 1, {}, u"Строка 3. Проверка n == 0: 1 == 0 — нет"_qs};
        QTest::newRow("a writing line") << LineScenario{{lines, u"1"_qs, u"Space"_qs}, first, {7}, 2, {}, u"Строка 7. Строка стихов: « 1 негритят пошли купаться в море,»"_qs};
        QTest::newRow("the empty line") << LineScenario{{lines, u"1"_qs, u"Space*4"_qs}, first, {10}, 5, {}, u"Строка 10. Пустая строка"_qs};
        QTest::newRow("into the last call") << LineScenario{{lines, u"1"_qs, u"Space*6"_qs}, second, {3}, 5, {}, u"Строка 3. Проверка n == 0: 0 == 0 — да"_qs};
        QTest::newRow("the closing line") << LineScenario{{lines, u"1"_qs, u"Space*7"_qs}, second, {4}, 5, closing};
        QTest::newRow("out to the caller's end") << LineScenario{{lines, u"1"_qs, u"Space*9"_qs}, first, {12}, 5, closing};
        QTest::newRow("past the first call's end") << LineScenario{{lines, u"1"_qs, u"Space*10"_qs}, finished, {}, 5, closing};
        QTest::newRow("back over the closing line") << LineScenario{{lines, u"1"_qs, u"Space*7"_qs, u"Left"_qs}, second, {3}, 5, {}};
        QTest::newRow("over the last call") << LineScenario{{lines, u"1"_qs, u"Space*5"_qs, u"Shift+Space"_qs}, first, {12}, 5, closing};
        QTest::newRow("Esc") << LineScenario{{lines, u"1"_qs, u"Space"_qs, u"Esc"_qs}, finished, {}, 5, closing};
        QTest::newRow("to whole calls") << LineScenario{{lines, u"1"_qs, u"Space"_qs, u"по шагам"_qs}, first, {7, 8, 9, 10}, 5, {}};
        QTest::newRow("to whole calls, then a step") << LineScenario{{lines, u"1"_qs, u"Space"_qs, u"по шагам"_qs, u"Space"_qs}, finished, {}, 5, closing};
        QTest::newRow("from whole calls") << LineScenario{{u"calls"_qs, u"по шагам"_qs, u"1"_qs, lines}, first, {10}, 5, {}};
        QTest::newRow("the last call, left for whole calls") << LineScenario{{lines, u"1"_qs, u"Space*6"_qs, u"по шагам"_qs}, second, {4}, 5, closing};
        QTest::newRow("a full box follows the lines") << LineScenario{{lines, u"5"_qs, u"Space*28"_qs}, u"Вызов 5 из 6"_qs, {10}, 21, {}};
        QTest::newRow("Пуск finishes the verse first") << LineScenario{{lines, u"1"_qs, u"Space*2"_qs, u"1"_qs}, first, {3}, 5, closing};
        QTest::newRow("typing forgets the verse") << LineScenario{{lines, u"1"_qs, u"Space"_qs, u"type"_qs}, u"Напишите стихи, чтобы увидеть их вызовы"_qs, {}, 2, u"a b"_qs};
        QTest::newRow("reset lets Space type") << LineScenario{{lines, u"1"_qs, u"Space"_qs, u"reset"_qs, u"type"_qs}, u"Напишите стихи, чтобы увидеть их вызовы"_qs, {}, 1, u"a b"_qs};
        // clang-format on
    }
    // The verse for 1 written line by line: the calls window and the box.
    void lineSteps()
    {
        QFETCH(LineScenario, row);
        auto *calls = form->findChild<CallsWindow *>();
        for (const QString &step : row.steps) {
            const QString action = step.section(u'*', 0, 0); // "Space*4": four times Space
            for (int time = 0; time < std::max(1, step.section(u'*', 1).toInt()); ++time) {
                if (commonStep(action, form->Command1, {}, {}))
                    continue;
                if (action.startsWith(u"по "))
                    chooseFromMenu(form->Text1->viewport(), u"Писать "_qs + action);
                else if (action == u"reset")
                    form->Command3->click();
                else if (action == u"type") // as a user types: the window sees each key
                    for (const char key : {'a', ' ', 'b'})
                        QTest::keyClick(form->Text1, key), QCoreApplication::processEvents();
                else
                    start(action);
            }
        }
        QVERIFY(calls->isVisible());
        QCOMPARE(calls->heading->text(), row.heading);
        QCOMPARE(calls->procedure->highlighted(), row.highlighted);
        if (!row.explained.isEmpty())
            QCOMPARE(calls->procedure->explanation->accessibleName(), row.explained);
        QCOMPARE(boxLines().size(), row.lines);
        QCOMPARE(boxLines().constLast(), row.lastLine);
        const QScrollBar *bar = form->Text1->verticalScrollBar(); // the line just written in view
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(form->isVisible());
    }

    // One verse's stack, step by step, going to a call and stepping back, over what
    // the box held before; Backspace erases nothing while the verse is stepped.
    void callsWindow()
    {
        auto *calls = form->findChild<CallsWindow *>();
        QAction *item = menuItem(form.get(), u"Показать вызовы"_qs);
        item->trigger();
        QCOMPARE(calls->heading->text(), u"Напишите стихи, чтобы увидеть их вызовы"_qs);
        start(u"9"_qs);
        const QString before = form->Text1->toPlainText();
        form->Text1->moveCursor(QTextCursor::End); // Left moves the cursor once all is written
        QTest::keyClick(form->Text1, Qt::Key_Left);
        QCOMPARE(form->Text1->textCursor().position(), before.size() - 1);
        QCOMPARE(calls->heading->text(), u"Все вызовы закончены: 10"_qs);
        menuItem(form.get(), u"Писать по шагам"_qs)->trigger();
        start(u"3"_qs);
        for (int key : {Qt::Key_Space, Qt::Key_Right})
            QTest::keyClick(form->Text1, Qt::Key(key));
        QStringList stack;
        for (int row = 0; row < calls->stack->model()->rowCount(); ++row)
            stack << calls->stack->model()->index(row, 0).data().toString();
        QCOMPARE(stack,
                 (QStringList{u"negr(n = 3) — ждёт вызов 1 из 1"_qs,
                              u"negr(n = 2) — ждёт вызов 1 из 1"_qs, u"negr(n = 1)"_qs}));
        QCOMPARE(calls->heading->text(), u"Вызов 3 из 4"_qs);
        // negr's own text, its four writing lines at a call that wrote a verse.
        QCOMPARE(calls->procedure->text->toPlainText().split(u'\n').mid(0, 3),
                 (QStringList{u" 1  void negr(short n, Verses &Text1)"_qs, u" 2  {"_qs,
                              u" 3      if (n == 0) {"_qs}));
        QCOMPARE(calls->procedure->highlighted(), (QList<int>{7, 8, 9, 10}));
        QCOMPARE(calls->procedure->explanation->text(),
                 u"Строка 7. Строка стихов: « 1 негритят пошли купаться в море,»"_qs);
        QVERIFY(calls->procedure->explanation->height()
                >= 2 * calls->procedure->explanation->fontMetrics().lineSpacing());
        QTest::keyClick(form->Text1, Qt::Key_Space); // the last call: all of them returned
        QCOMPARE(calls->heading->text(), u"Все вызовы закончены: 4"_qs);
        QVERIFY(calls->procedure->highlighted().isEmpty());
        QCOMPARE(calls->stack->model()->rowCount(), 0);
        QTest::keyClick(calls->stack, Qt::Key_Left);
        QCOMPARE(calls->heading->text(), u"Вызов 3 из 4"_qs);
        QScrollBar *scroll = form->Text1->verticalScrollBar();
        scroll->setValue(0); // the chosen call's lines come into view
        calls->stack->setCurrentIndex(calls->stack->model()->index(1, 0));
        QTRY_COMPARE(calls->heading->text(), u"Вызов 2 из 4"_qs);
        QVERIFY(scroll->value() == scroll->maximum() && scroll->maximum() > 0);
        QVERIFY(form->Text1->toPlainText().endsWith(u"\n\n"_qs)
                && form->Text1->toPlainText().sliced(before.size()).count(u" 2 негритят"_qs) == 2);
        QTest::keyClick(form->Text1, Qt::Key_Backspace);
        QTest::keyClick(calls->stack, Qt::Key_Backspace);
        QCOMPARE(calls->heading->text(), u"Вызов 1 из 4"_qs);
        QVERIFY(form->Text1->toPlainText().startsWith(before)
                && form->Text1->toPlainText().sliced(before.size()).count(u'\n') == 4);
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        start(u"0"_qs);
        QCOMPARE(calls->heading->text(), u"Все вызовы закончены: 1"_qs);
        // The call for 0, which only ever runs last, writes the closing line; its test.
        const ProcedureText &text = ProcedureText::named(u"negr"_qs);
        CallFacts last;
        last.call = u"negr(n = 0)"_qs;
        last.arguments = {0};
        last.written = {u"Нет больше негритят!"_qs};
        QCOMPARE(text.callLevelLines(true), QList<int>{4});
        QCOMPARE(text.explain(4, last) + text.explain(3, last) + text.explain(10, {}),
                 u"Строка 4. Строка стихов: «Нет больше негритят!»Строка 3. Проверка n == 0: 0 "
                 "== 0 — даСтрока 10. Пустая строка"_qs);
        for (bool typedFirst : {true, false}) { // typed into, the box is the user's: nothing is cut
            start(u"2"_qs);
            if (typedFirst)
                QTest::keyClicks(form->Text1, "x");
            QTest::keyClick(form->Text1, Qt::Key_Right);
            QTest::keyClicks(form->Text1, typedFirst ? "" : "x");
            const QString typed = form->Text1->toPlainText();
            QTest::keyClick(form->Text1, Qt::Key_Left);
            QCOMPARE(form->Text1->toPlainText(), typed);
        }
        form->Command3->click();
        QCOMPARE(calls->heading->text(), u"Напишите стихи, чтобы увидеть их вызовы"_qs);
        form->Command1->click();
        QVERIFY(!calls->isVisible());
    }

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

QTEST_MAIN(TestCountdown)
#include "tst_countdown.moc"
