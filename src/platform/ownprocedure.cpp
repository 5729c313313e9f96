#include "ownprocedure.h"

#include "codeeditor.h"
#include "lessonview.h"
#include "ownwindow.h"

#include <QAction>

OwnProcedure::OwnProcedure(OwnProgram program, QWidget *window, Show show)
    : QObject(window), program(program), window(window),
      ownWindow(new OwnProcedureWindow(
              program == OwnProgram::Figures ? QStringLiteral("Рисовать")
                                             : QStringLiteral("Писать"),
              program == OwnProgram::Figures ? figureExamples() : verseExamples(), window)),
      show(std::move(show))
{
    connect(ownWindow, &OwnProcedureWindow::runRequested, this, &OwnProcedure::run);
    if (auto *view = window->findChild<LessonView *>(QString(), Qt::FindDirectChildrenOnly))
        connect(ownWindow, &OwnProcedureWindow::noRoomBeside, view,
                [view, own = ownWindow] { view->join(own); });
    // Installed after the calls window's and the lesson view's filters, this one comes first.
    window->installEventFilter(this);
}

QAction *OwnProcedure::showAction() const
{
    return ownWindow->showAction();
}

// Asked once as the program closes: the lesson view, left first, closes the window again.
bool OwnProcedure::mayClose()
{
    if (!ownWindow->askToSave())
        return false;
    ownWindow->editor->document()->setModified(false);
    return true;
}

bool OwnProcedure::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close && !mayClose()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// What the code drew or wrote before a failure stays shown, the failure under the code;
// a damaged record changes nothing but the messages.
void OwnProcedure::run(const QString &code)
{
    auto run = std::make_shared<OwnRun>(code);
    runOwnCode(program, *run, ownWindow);
    if (!run->damaged()) // nothing of a record that cannot be trusted is shown
        show(run);
    QStringList messages;
    if (program == OwnProgram::Figures && !run->damaged())
        for (const QString &printed : run->printed())
            messages << printed.chopped(printed.endsWith(u'\n') ? 1 : 0);
    if (run->failure())
        messages << run->failure()->message;
    if (run->guard() != guardTold) // which layers of the box hold, once
        messages << (guardTold = run->guard());
    ownWindow->showMessages(messages.join(u'\n'));
    ownWindow->markLine(run->failure() ? run->failure()->line : 0);
}
