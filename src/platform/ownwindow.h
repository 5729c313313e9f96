#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class CodeEditor;
class QAction;
class QPlainTextEdit;
class QPushButton;

// A procedure the window offers under "Примеры": its name there and the resource holding
// its Python text.
struct OwnExample
{
    QString title;
    QString resource;
};

// figdraw's examples, in the order of its buttons, and countdown's.
QList<OwnExample> figureExamples();
QList<OwnExample> verseExamples();

// The window "Своя процедура" beside a program's window, where the class types its own
// recursive procedure in Python, opens and saves it, and asks the program to run it.
// It shows what the program reports back: messages, and the line they are about.
class OwnProcedureWindow : public QWidget
{
    Q_OBJECT

public:
    // runText names the run button ("Рисовать", "Писать"); the window first holds the
    // first example's text.
    OwnProcedureWindow(const QString &runText, QList<OwnExample> examples, QWidget *mainWindow);

    // "Своя процедура…" (Ctrl+E): shows the window beside the program's window, or raises it.
    QAction *showAction() const { return showItem; }
    // The run button's action (F5), to add to the program's window as well.
    QAction *runAction() const { return runItem; }

    // Beside the program's window and the calls window, never over them: false where there
    // is no room. In the lesson view the view places it.
    bool placeBeside();
    // The texts at a scale of the window's own.
    void setOwnScale(int percent);
    int ownPercent() const { return own; }

    QString code() const;
    // Replaces the messages, or adds a line under them.
    void showMessages(const QString &text);
    void appendMessage(const QString &line);
    // Marks the line (counted from 1) in the editor and puts the cursor there; 0 clears the mark.
    void markLine(int line);
    // Asks whether to save unsaved changes first. False when the answer is "Отмена" or the
    // save failed or was cancelled: whatever was to follow should not happen.
    bool askToSave();

    // Opens the file, or saves into it, reporting a failure; whether it succeeded.
    bool openFile(const QString &path);
    bool saveFile(const QString &path);
    // The file the text was last opened from or saved into; empty for an example.
    QString fileName() const { return file; }

    CodeEditor *editor;
    QPlainTextEdit *messages;
    QPushButton *runButton;

signals:
    void runRequested(const QString &code);
    // There is no room for the window beside the program's window, even at 75 %.
    void noRoomBeside();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void open();
    bool save();
    void loadExample(const OwnExample &example);
    void setText(const QString &text, const QString &fromFile);
    void rescale();

    QWidget *mainWindow;
    QAction *showItem;
    QAction *runItem;
    QString file;
    QString exampleFile; // the name offered when saving an example unchanged
    int own = 100;
};
