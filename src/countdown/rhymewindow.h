#pragma once

#include "count.h"
#include "verse.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class ProgramScale;
class QPushButton;
class LessonView;
class OwnProcedure;
class OwnRun;
class Unfolding;
class VerseCalls;

namespace countdown {

// The rhyme window: the verse box, the count box and start, reset and exit.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    QPushButton *Command1; // exit
    QPushButton *Command2; // start
    QPlainTextEdit *Text1; // the verses
    QPushButton *Command3; // reset
    QLineEdit *Text2;      // the count, shown only
    QLabel *Label1;

    // Appends the verse the class's own code printed, as "Пуск" appends its verse.
    void writeOwnVerse(std::shared_ptr<const OwnRun> run);

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    QString refusal(CountReading::Status status, const QString &typed) const;
    void writeCalls(qsizetype first, qsizetype last);
    void unfoldVerse();
    void showVerseMenu(const QPoint &position);
    void growVerses(QSize size);

    qint16 n = 0;
    // What the last start wrote, until all of it is in the verse box.
    Verses verses;
    ProgramScale *programScale;
    Unfolding *unfolding;
    VerseCalls *calls;
    LessonView *lessonView;
    OwnProcedure *ownProcedure;
};

} // namespace countdown
