#include "callswindow.h"
#include "calltrace.h"
#include "codeeditor.h"
#include "ownwindow.h"
#include "programscale.h"
#include "windowtest.h"

#include <QPushButton>
#include <QSignalSpy>

namespace {

// Answers the modal dialogs in turn: a message box by clicking the button with the answer's
// text ("⏎" presses Enter), a file dialog by typing the answer as the file's name ("" cancels
// it). Notes the message boxes' texts and the names the file dialogs offer.
class Answers
{
public:
    explicit Answers(QStringList answers) : answers(std::move(answers))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start(10);
    }
    QStringList asked, offered;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isActiveWindow() || answers.isEmpty())
            return;
        const QString answer = answers.takeFirst();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            asked << box->text();
        else if (auto *files = qobject_cast<QFileDialog *>(modal))
            offered << files->findChild<QLineEdit *>(u"fileNameEdit"_qs)->text();
        // Once this tick is over: a dialog the answer opens is answered by the ticks after.
        QTimer::singleShot(0, modal, [modal, answer] {
            if (answer == u"⏎") {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                for (QAbstractButton *button : box->buttons())
                    if (button->text() == answer)
                        button->click();
            } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                files->findChild<QLineEdit *>(u"fileNameEdit"_qs)->setText(answer);
                auto *dialog = static_cast<QDialog *>(files);
                answer.isEmpty() ? dialog->reject() : dialog->accept();
            }
        });
    }
    QStringList answers;
    QTimer timer;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

const QString cyrillic = u"# Рисует «ёлку»\nprint('ёж')\n"_qs;

// clang-format off
// An edit or not, the dialogs' answers (a file's name in a scratch folder where "old.py" is
// open), what askToSave returns, how many boxes asked (the question, a report), "new.py" after.
struct SaveCase { bool edited; QStringList answers; bool result; int asked; QByteArray saved; bool modified; };
// clang-format on

} // namespace

class TestOwnWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        main.emplace();
        main->setGeometry(0, 100, 300, 300);
        main->show();
        window = new OwnProcedureWindow(u"Рисовать"_qs, figureExamples(), &*main);
    }
    void cleanup() { main.reset(); }

    // The question's three answers, with a save that succeeds, is cancelled, or fails.
    void askToSave()
    {
        const QString question = u"Сохранить изменения в процедуре?"_qs;
        const QString failed = u"Не удалось сохранить файл «%1»: "_qs;
        // clang-format off
        const QList<SaveCase> cases{
                {false, {}, true, 0, "(none)", false},
                {true, {u"Отмена"_qs}, false, 1, "(none)", true},
                {true, {u"Не сохранять"_qs}, true, 1, "(none)", true},
                {true, {u"Сохранить"_qs, u"new.py"_qs}, true, 1, cyrillic.toUtf8(), false},
                {true, {u"⏎"_qs, u"new.py"_qs}, true, 1, cyrillic.toUtf8(), false},
                {true, {u"Сохранить"_qs, u""_qs}, false, 1, "(none)", true},
                {true, {u"Сохранить"_qs, u"/proc/new.py"_qs, u"ОК"_qs}, false, 2,
                 "(none)", true},
        };
        // clang-format on
        for (const SaveCase &test : cases) {
            QTemporaryDir scratch;
            const QDir folder(scratch.path());
            QFile old(folder.filePath(u"old.py"_qs));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
            window->openFile(old.fileName());
            if (test.edited)
                edit(cyrillic);
            QStringList answers = test.answers;
            for (QString &answer : answers)
                if (answer.endsWith(u".py") && QDir::isRelativePath(answer))
                    answer = folder.filePath(answer);
            Answers dialogs(answers);
            QCOMPARE(window->askToSave(), test.result);
            QCOMPARE(dialogs.asked.size(), test.asked);
            if (test.asked > 0)
                QCOMPARE(dialogs.asked[0], question);
            if (test.asked > 1)
                QVERIFY2(dialogs.asked[1].startsWith(failed.arg(answers[1])),
                         qPrintable(dialogs.asked[1]));
            QCOMPARE(contents(folder.filePath(u"new.py"_qs)), test.saved);
            QCOMPARE(contents(old.fileName()), "old");
            QCOMPARE(window->isWindowModified(), test.modified);
            // Nothing half-written is left beside.
            QCOMPARE(folder.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
                     test.saved == "(none)" ? 1 : 2);
        }
    }

    // Saving and opening through the menu, in UTF-8; a file that cannot be read is reported.
    void openAndSave()
    {
        QTemporaryDir scratch;
        const QString path = scratch.filePath(u"ёлка.py"_qs);
        window->show();
        edit(cyrillic);
        QVERIFY(window->isWindowModified());
        window->editor->moveCursor(QTextCursor::Start);
        window->editor->moveCursor(QTextCursor::Down);
        {
            Answers save({path});
            menuItem(window, u"Сохранить…"_qs)->trigger();
        }
        QCOMPARE(contents(path), cyrillic.toUtf8());
        QCOMPARE(window->windowTitle(), u"Своя процедура — ёлка.py[*]"_qs);
        QVERIFY(!window->isWindowModified());
        // Saving keeps the cursor and what Ctrl+Z takes back.
        QCOMPARE(window->editor->textCursor().position(), cyrillic.indexOf(u'\n') + 1);
        QVERIFY(window->editor->document()->isUndoAvailable());
        // Text not in UTF-8, a file of more than a megabyte, none, a folder.
        QFile latin1(scratch.filePath(u"latin1.py"_qs)), large(scratch.filePath(u"large.py"_qs));
        QVERIFY(latin1.open(QIODevice::WriteOnly) && latin1.write("x = '\xe9'\n") > 0);
        QVERIFY(large.open(QIODevice::WriteOnly) && large.write(QByteArray(1 << 20, '#') + '\n'));
        latin1.close();
        large.close();
        for (const QString &name : {u"latin1.py"_qs, u"large.py"_qs, u"нет.py"_qs, u"."_qs}) {
            Answers open({u"ОК"_qs});
            QVERIFY(!window->openFile(scratch.filePath(name)));
            QVERIFY2(open.asked.value(0).startsWith(u"Не удалось открыть файл «"_qs),
                     qPrintable(name));
        }
        QCOMPARE(window->code(), cyrillic);
        // A folder in the file's place stays as it was.
        {
            Answers report({u"ОК"_qs});
            QVERIFY(!window->saveFile(scratch.path()));
            QVERIFY(report.asked.value(0).startsWith(
                    u"Не удалось сохранить файл «%1»: "_qs.arg(scratch.path())));
        }
        QCOMPARE(QDir(scratch.path()).entryList(QDir::Files).size(), 3);
        QCOMPARE(window->windowTitle(), u"Своя процедура — ёлка.py[*]"_qs);
        edit(u"x = 1\n"_qs);
        window->markLine(1);
        {
            Answers open({u"Не сохранять"_qs, path});
            menuItem(window, u"Открыть…"_qs)->trigger();
        }
        QCOMPARE(window->code(), cyrillic);
        QVERIFY(!window->isWindowModified());
        // The mark of the code before is gone; the file opened is saved under its own name.
        QCOMPARE(window->editor->markedLine(), 0);
        QCOMPARE(window->editor->extraSelections().size(), 1);
        {
            Answers cancel({u""_qs});
            menuItem(window, u"Сохранить…"_qs)->trigger();
            QCOMPARE(cancel.offered, QStringList(u"ёлка.py"_qs));
        }
        // A procedure of a few kilobytes opens, and so does one of a whole megabyte.
        for (const QByteArray &text : {QByteArray("circle(100, 100, 5)\n").repeated(200),
                                       QByteArray((1 << 20) - 1, '#') + '\n'}) {
            QVERIFY(large.open(QIODevice::WriteOnly) && large.write(text) == text.size());
            large.close();
            QVERIFY(window->openFile(large.fileName()));
            QCOMPARE(window->code().toUtf8(), text);
        }
    }

    // Each example by its button's name: its procedure and the call that draws it, unchanged,
    // saved by default under that name.
    void examples()
    {
        const QStringList names{u"ris1"_qs, u"ris2"_qs, u"diag"_qs,
                                u"ris"_qs,  u"ris3"_qs, u"treug"_qs};
        QVERIFY(window->code().startsWith(u"# Окружности по горизонтали"_qs));
        QVERIFY(!window->isWindowModified());
        for (qsizetype i = 0; i < names.size(); ++i) {
            menuItem(window, figureExamples()[i].title)->trigger();
            QVERIFY(window->code().contains(u"\ndef %1(x, y, "_qs.arg(names[i])));
            QVERIFY(window->code().contains(u"\n%1("_qs.arg(names[i])));
            QVERIFY(!window->isWindowModified());
            Answers cancel({u""_qs});
            menuItem(window, u"Сохранить…"_qs)->trigger();
            QCOMPARE(cancel.offered, QStringList(names[i] + u".py"_qs));
        }
        OwnProcedureWindow verse(u"Писать"_qs, verseExamples(), &*main);
        QVERIFY(verse.code().contains(u"\ndef negr(n):\n"_qs));
        QVERIFY(verse.code().endsWith(u"\nnegr(3)\n"_qs));
        // Changed, the code is the class's own; it stays when the question is answered "Отмена".
        edit(u"x = 1"_qs);
        {
            Answers cancel({u""_qs});
            menuItem(window, u"Сохранить…"_qs)->trigger();
            QCOMPARE(cancel.offered, QStringList(u"процедура.py"_qs));
        }
        Answers cancel({u"Отмена"_qs});
        menuItem(window, figureExamples()[0].title)->trigger();
        QCOMPARE(window->code(), u"x = 1"_qs);
    }

    // Beside the program's window, next to it on whichever side has the room.
    void placedBeside()
    {
        const QRect screen = main->screen()->availableGeometry();
        for (int left : {screen.left(), screen.right() + 1 - main->frameGeometry().width()}) {
            main->move(left, 100);
            window->placeBeside();
            window->show();
            const QRect own = window->frameGeometry(), program = main->frameGeometry();
            QVERIFY2(own.right() + 1 == program.left() || own.left() == program.right() + 1,
                     qPrintable(u"%1 %2"_qs.arg(own.left()).arg(own.right())));
            QCOMPARE(own.top(), program.top());
        }
    }

    // Ctrl+E in the program's window opens the window beside it and the calls window; F5 and
    // the button ask to run the code; a line marked is the cursor's; the scale is the program's.
    void showRunAndMark()
    {
        CallTrace trace;
        CallsWindow calls(trace, u"Нет вызовов"_qs, false, &*main);
        calls.showAction()->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&calls));
        main->activateWindow();
        QTRY_VERIFY(main->isActiveWindow());
        QTest::keyClick(&*main, Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(window->isActiveWindow());
        QCOMPARE(window->windowTitle(), u"Своя процедура[*]"_qs);
        QVERIFY(!window->frameGeometry().intersects(main->frameGeometry()));
        QVERIFY(!window->frameGeometry().intersects(calls.frameGeometry()));

        QSignalSpy runs(window, &OwnProcedureWindow::runRequested);
        QTest::keyClick(window->editor, Qt::Key_F5);
        window->runButton->click();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[1][0].toString(), window->code());

        window->markLine(3);
        QCOMPARE(window->editor->textCursor().blockNumber(), 2);
        QCOMPARE(window->editor->extraSelections().size(), 2);
        window->markLine(0);
        QCOMPARE(window->editor->extraSelections().size(), 1);
        QVERIFY(window->editor->viewport()->x() >= window->editor->lineNumberWidth());
        // The program's window closing takes this one with it.
        main->close();
        QTRY_VERIFY(!window->isVisible());

        ProgramScale scale(&*main, {9000, 7000});
        OwnProcedureWindow scaled(u"Рисовать"_qs, {}, &*main);
        const double points = scaled.editor->font().pointSizeF();
        scale.setPercent(150);
        QTRY_COMPARE(scaled.editor->font().pointSizeF(), points * 1.5);
    }

private:
    // The text replaced as typing does, a change to save.
    void edit(const QString &text)
    {
        window->editor->selectAll();
        window->editor->insertPlainText(text);
    }

    std::optional<QWidget> main;
    OwnProcedureWindow *window = nullptr;
};

QTEST_MAIN(TestOwnWindow)
#include "tst_ownwindow.moc"
