#include "callswindow.h"
#include "captionbutton.h"
#include "codeeditor.h"
#include "figurewindow.h"
#include "ownwindow.h"
#include "picturebox.h"
#include "procedurepart.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The triangle's colours, the same on every run: the clock stands still.
class StillClock : public RandomColours
{
    float TimeOfDay() override { return 43200.5f; }
};

// The picture's ink, whatever its colours.
QImage ink(const QImage &picture)
{
    QImage mask = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            row[x] = row[x] == qRgb(255, 255, 255) ? row[x] : qRgb(0, 0, 0);
    }
    return mask;
}

} // namespace

class TestOwnProcedure : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        qputenv("RECURSION_RUNNER", RUNNER_PATH);
        dialogs.emplace();
    }

    // Each example, run, draws what its button draws, pixel for pixel, and tells the same
    // counts; the triangle's colours are random.
    void examplesDrawAsTheButtons()
    {
        using figdraw::Form1;
        const QList<std::tuple<QString, CaptionButton * Form1::*, QString>> examples{
                {u"Окружности по горизонтали"_qs, &Form1::Command1, u"30"_qs},
                {u"Окружности по вертикали"_qs, &Form1::Command7, u"30"_qs},
                {u"Окружности по диагонали"_qs, &Form1::Command8, u"30"_qs},
                {u"Снежинка"_qs, &Form1::Command2, u"60"_qs},
                {u"Снежинка 6-конечная"_qs, &Form1::Command5, u"30"_qs},
                {u"Салфетка Серпинского"_qs, &Form1::Command6, {}}};
        for (const auto &[title, button, size] : examples) {
            StillClock colours;
            Form1 byButton(colours), byCode(colours);
            dialogs->nextAnswer(size);
            (byButton.*button)->click();
            menuItem(&byCode, title)->trigger();
            runOwn(byCode);
            QCOMPARE(byCode.Label2->text(), byButton.Label2->text());
            const bool random = button == &Form1::Command6;
            QCOMPARE(random ? ink(byCode.Picture1->picture()) : byCode.Picture1->picture(),
                     random ? ink(byButton.Picture1->picture()) : byButton.Picture1->picture());
        }
    }

    // The verse's example writes what "Пуск" writes for 3, and so again after it.
    void verseExampleWritesAsStart()
    {
        countdown::Form1 byStart, byCode;
        for (int twice = 0; twice < 2; ++twice) {
            dialogs->nextAnswer(u"3"_qs);
            byStart.Command2->click();
            menuItem(&byCode, u"Негритята"_qs)->trigger();
            runOwn(byCode);
        }
        QCOMPARE(byCode.Text1->toPlainText(), byStart.Text1->toPlainText());
    }

private:
    static void runOwn(QWidget &window)
    {
        window.findChild<OwnProcedureWindow *>()->runAction()->trigger();
    }

    std::optional<DialogDriver> dialogs;
};

QTEST_MAIN(TestOwnProcedure)
#include "tst_ownprocedure.moc"
