#pragma once

#include "ownrunner.h"

#include <QObject>

#include <functional>
#include <memory>

class OwnProcedureWindow;
class QAction;
class QWidget;

// "Своя процедура" in a program's window: the window where the class writes its own
// recursive procedure, each run of it in a process of its own, and what came of the
// run handed to the program to show as it shows its own recursion. How the run
// ended, and in figdraw what it printed, go under the code, its line marked.
class OwnProcedure : public QObject
{
    Q_OBJECT

public:
    using Show = std::function<void(std::shared_ptr<const OwnRun> run)>;

    // Where there is no room for the window "Своя процедура" beside the program's window, it
    // joins the program's lesson view.
    OwnProcedure(OwnProgram program, QWidget *window, Show show);

    QAction *showAction() const;
    OwnProcedureWindow *procedureWindow() const { return ownWindow; }

protected:
    // Before anything closes with the program's window: "Отмена" keeps everything as it was.
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void run(const QString &code);

private:
    // Whether the program may close: unsaved code is saved first, or left, as the user says.
    bool mayClose();

    OwnProgram program;
    QWidget *window;
    OwnProcedureWindow *ownWindow;
    Show show;
    QString guardTold; // the box's layers, as the messages last told them
};
