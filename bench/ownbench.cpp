// Times the class's own code in the windows: from F5 to the figure or verse shown, the
// line steps and Ctrl+click on the largest figure, and the memory of its record.
#include "benchtools.h"
#include "callswindow.h"
#include "captionbutton.h"
#include "codeeditor.h"
#include "figurewindow.h"
#include "ownrunner.h"
#include "ownwindow.h"
#include "picturebox.h"
#include "rhymewindow.h"
#include "windowtest.h"

#include <QFile>
#include <QPlainTextEdit>

#include <cstdio>

namespace {

// A four-way recursion of (4^(depth + 1) - 1) / 3 calls, drawing or printing in each
// call that goes on: 87 381 calls at depth 8, 1 398 101 at depth 10.
QString fourWay(int depth, bool printing)
{
    return u"def ris(x, y, r, d):\n"
           "    if d == 0:\n"
           "        return\n"_qs
            + (printing ? u"    print(d)\n"_qs : u"    circle(x, y, r)\n"_qs)
            + u"    ris(x + r, y, r / 2, d - 1)\n"
              "    ris(x - r, y, r / 2, d - 1)\n"
              "    ris(x, y + r, r / 2, d - 1)\n"
              "    ris(x, y - r, r / 2, d - 1)\n"
              "\n"
              "ris(100, 100, 50, %1)\n"_qs.arg(depth);
}

// The memory the process holds now, in megabytes.
double residentMegabytes()
{
    QFile statm(u"/proc/self/statm"_qs);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * 4096 / 1e6;
}

double runUntilShown(QWidget &window, const QString &code, QWidget *shown)
{
    auto *own = window.findChild<OwnProcedureWindow *>();
    own->editor->setPlainText(code);
    return untilShown([own] { own->runAction()->trigger(); }, {shown});
}

} // namespace

void measureOwnProcedure()
{
    std::printf("\nthe class's own code, from F5 to the windows painted, at \"сразу\":\n");
    const struct
    {
        const char *name;
        QString code;
    } programs[] = {{"empty program", {}},
                    {"4-way recursion, 87 381 calls", fourWay(8, false)},
                    {"4-way recursion, 1 398 101 calls", fourWay(10, false)}};
    RandomColours colours;
    for (const auto &program : programs) {
        figdraw::Form1 form(colours);
        form.show();
        std::printf("  figdraw %-34s %7.0f ms\n", program.name,
                    runUntilShown(form, program.code, form.Picture1));
    }
    for (int depth : {8, 10}) {
        countdown::Form1 form;
        form.show();
        std::printf("  countdown, printing, depth %-2d %-13s %7.0f ms\n", depth, "",
                    runUntilShown(form, fourWay(depth, true), form.Text1));
    }

    figdraw::Form1 form(colours);
    form.show();
    auto *calls = form.findChild<CallsWindow *>();
    item(&form, u"Показать вызовы"_qs)->trigger();
    item(&form, u"Рисовать по строкам"_qs)->trigger();
    runUntilShown(form, fourWay(10, false), form.Picture1);
    const QList<QWidget *> windows{&form, calls};
    const auto key = [&form](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        return [&form, key, modifiers] { QTest::keyClick(&form, key, modifiers); };
    };
    std::printf("  1 398 101 calls by lines: a line step %.0f ms, a step back %.0f ms,",
                untilShown(key(Qt::Key_Right), windows), untilShown(key(Qt::Key_Left), windows));
    untilShown(key(Qt::Key_Right), windows);
    std::printf(" over the first call %.0f ms,",
                untilShown(key(Qt::Key_Right, Qt::ShiftModifier), windows));
    const QPoint centre = form.Picture1->contentsRect().center();
    std::printf(" Ctrl+click %.0f ms\n",
                untilShown(
                        [&form, centre] {
                            QTest::mouseClick(form.Picture1, Qt::LeftButton, Qt::ControlModifier,
                                              centre + QPoint(form.Picture1->width() / 4, 0));
                        },
                        windows));

    // Two million calls, the most a run may make: a two-way recursion 21 deep makes more.
    OwnRun run(u"def f(d):\n    if d > 0:\n        f(d - 1)\n        f(d - 1)\n\nf(21)\n"_qs);
    runOwnCode(OwnProgram::Figures, run, nullptr);
    std::printf("  the record of %d calls: %.0f MB\n", run.trace().calls(),
                double(run.bytes()) / 1e6);

    figdraw::Form1 resetForm(colours);
    resetForm.show();
    const double before = residentMegabytes();
    runUntilShown(resetForm, fourWay(10, false), resetForm.Picture1);
    const double drawn = residentMegabytes();
    resetForm.Command3->click();
    std::printf("  memory before the 1 398 101-call figure %.0f MB, with it %.0f MB, after "
                "\"Сброс\" %.0f MB\n",
                before, drawn, residentMegabytes());
}
