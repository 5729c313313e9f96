#pragma once

#include "calltrace.h"
#include "linewalk.h"
#include "proceduretext.h"

#include <QObject>

#include <functional>
#include <memory>

class CallsWindow;
class LineSteps;
class OwnRun;
class QAction;
class QPlainTextEdit;
class Unfolding;
struct Verses;

// Going back into a verse, and the calls window of the rhyme window. While a
// verse unfolds its steps can be taken back: the verse box loses what the later
// calls wrote, and what it held before "Пуск" stays. While the calls window is
// open, each verse's calls are recorded, at every pace, so that any call can be
// gone to as well, and the verse written line by line.
class VerseCalls : public QObject
{
    Q_OBJECT

public:
    VerseCalls(QWidget *window, QPlainTextEdit *box, Verses &verses, Unfolding *unfolding);

    QAction *showAction() const;
    QAction *drawnTreeAction() const;

    // Before the verse is written: forgets the last one.
    void beginVerse(bool unfolds);
    // After it was written into verses.
    void endVerse();
    // The verse in verses was printed by the class's own code in this run, each step a run
    // of lines one call printed: the calls and lines come from the run.
    void takeOwnRun(std::shared_ptr<const OwnRun> run);
    // How to rewind the verse's steps, when it unfolds or its calls are shown.
    std::function<void(qsizetype)> rewinder();
    // The calls 0 ... last - 1 are in the box: the window follows. Returns
    // whether the verses are still needed once all is in the box.
    bool follow(qsizetype last);
    // Forgets the verse.
    void clear();
    // Takes out of the box what a call written line by line wrote so far, so that the
    // calls from there on are written whole.
    void dropPartial(qsizetype calls);

private:
    void forget();
    void noticeTyping();
    void rewind(qsizetype last);
    void choose(qint32 call);
    // The window right after the call, and the newest lines in view.
    void showMoment(qint32 call);
    void showOwnLine(LinePlace place);
    void showLine(LinePlace place);
    // Cuts the box, or writes on into it, to where the verse's text ends at written.
    void showWritten(qsizetype written);
    CallFacts factsOf(qint32 call) const;
    // The box holds each line break as one character where the verses hold two.
    int endOf(qsizetype calls) const;
    int boxEnd(qsizetype upTo) const;

    QPlainTextEdit *box;
    Verses &verses;
    Unfolding *unfolding;
    CallTrace trace;
    CallsWindow *calls;
    LineSteps *lines;
    std::unique_ptr<LineOrder> order;  // of the verse's lines, while its calls are recorded
    std::shared_ptr<const OwnRun> own; // the run that printed the class's own verse
    QList<qsizetype> printedEnds;      // where each line it printed ends in the verse's text
    bool recorded = false;             // where the verse's calls begin in the box is known
    bool traced = false;               // and its calls are in the trace
    int start = 0;                     // where the verse begins in the box
    int length = 0;                    // of the box's text as the verse left it
    qsizetype written = 0;             // of the verse's text, when written line by line
};
