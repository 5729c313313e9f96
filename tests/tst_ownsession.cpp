#include "codeeditor.h"
#include "figurewindow.h"
#include "ownwindow.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QPlainTextEdit>

namespace {

// clang-format off
// A user's steps in a program with "Своя процедура": "code:…" typed in place of the code,
// "run" (F5), "mark:N" a line marked, "open" the window opened, "F11" the lesson view, "close"
// the program's window, "close view" the view (as Alt+F4 does), "answer:…" the answer to the
// question about unsaved code. Then: how the messages start, the line marked, how often the
// question came, whether the program is still open.
struct Scenario { bool verses; QStringList steps; QString messages; int marked; int asked; bool open; };
// clang-format on

} // namespace

class TestOwnSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("RECURSION_RUNNER", RUNNER_PATH); }

    void scenarios()
    {
        const QString closeOnly = u"code:x = 1\n"_qs;
        // clang-format off
        const QList<Scenario> scenarios{
            {true, {u"run"_qs}, {}, 0, 0, true},
            {true, {u"code:print('раз')\nprint(1 / 0)\n"_qs, u"run"_qs}, u"Строка 2: деление на ноль"_qs, 2, 0, true},
            {false, {u"code:print('раз')\nprint(1 / 0)\n"_qs, u"run"_qs}, u"раз\nСтрока 2: деление на ноль"_qs, 2, 0, true},
            {false, {u"code:circle(100, 100, 5)\n"_qs, u"mark:1"_qs, u"run"_qs}, {}, 0, 0, true},
            {false, {u"open"_qs, closeOnly, u"F11"_qs, u"answer:Не сохранять"_qs, u"close"_qs}, {}, 0, 1, false},
            {false, {closeOnly, u"F11"_qs, u"answer:Не сохранять"_qs, u"close view"_qs}, {}, 0, 1, false},
            {true, {u"open"_qs, closeOnly, u"F11"_qs, u"answer:Не сохранять"_qs, u"close view"_qs}, {}, 0, 1, false},
            {true, {closeOnly, u"F11"_qs, u"answer:Отмена"_qs, u"close"_qs}, {}, 0, 1, true},
        };
        // clang-format on
        for (const Scenario &row : scenarios) {
            RandomColours colours;
            std::unique_ptr<QWidget> program;
            if (row.verses)
                program = std::make_unique<countdown::Form1>();
            else
                program = std::make_unique<figdraw::Form1>(colours);
            program->show();
            auto *own = program->findChild<OwnProcedureWindow *>();
            QString answer;
            int asked = 0;
            QTimer answering;
            connect(&answering, &QTimer::timeout, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box || !box->isVisible() || box->property("answered").toBool())
                    return;
                box->setProperty("answered", true);
                asked += box->text() == u"Сохранить изменения в процедуре?";
                for (QAbstractButton *button : box->buttons())
                    if (button->text() == answer)
                        QTimer::singleShot(0, button, &QAbstractButton::click);
            });
            answering.start(10);
            for (const QString &step : row.steps) {
                const QString value = step.section(u':', 1);
                if (step.startsWith(u"code:")) {
                    own->editor->selectAll();
                    own->editor->insertPlainText(value);
                } else if (step == u"run") {
                    own->runAction()->trigger();
                } else if (step.startsWith(u"mark:")) {
                    own->markLine(value.toInt());
                } else if (step == u"open") {
                    own->showAction()->trigger();
                } else if (step == u"F11") {
                    menuItem(&*program, u"Урок на весь экран"_qs)->trigger();
                } else if (step.startsWith(u"answer:")) {
                    answer = value;
                } else {
                    QVERIFY(step.startsWith(u"close"));
                    (step == u"close" ? program.get() : program->window())->close();
                    QTest::qWait(200);
                }
            }
            const QString context = row.steps.join(u' ');
            // The verse is in the verse box, never in the messages.
            const QString messages = own->messages->toPlainText();
            QVERIFY2(messages.startsWith(row.messages) && !messages.contains(u"негритят"),
                     qPrintable(context + u": "_qs + messages));
            QVERIFY2(own->editor->markedLine() == row.marked, qPrintable(context));
            QVERIFY2(asked == row.asked,
                     qPrintable(context + u": asked "_qs + QString::number(asked)));
            QVERIFY2(program->isVisible() == row.open, qPrintable(context));
            menuItem(&*program, u"Урок на весь экран"_qs)->setChecked(false);
        }
    }
};

QTEST_MAIN(TestOwnSession)
#include "tst_ownsession.moc"
