#pragma once

#include "calltrace.h"
#include "proceduretext.h"

#include <QObject>

#include <functional>

class CallsWindow;
class QAction;
class QPlainTextEdit;
class Unfolding;
struct Verses;

// Going back into a verse, and the calls window of the rhyme window. While a
// verse unfolds its steps can be taken back: the verse box loses what the later
// calls wrote, and what it held before "Пуск" stays. While the calls window is
// open, each verse's calls are recorded, at every pace, so that any call can be
// gone to as well.
class VerseCalls : public QObject
{
    Q_OBJECT

public:
    VerseCalls(QWidget *window, QPlainTextEdit *box, Verses &verses, Unfolding *unfolding);

    QAction *showAction() const;

    // Before the verse is written: forgets the last one.
    void beginVerse(bool unfolds);
    // After it was written into verses.
    void endVerse();
    // How to rewind the verse's steps, when it unfolds or its calls are shown.
    std::function<void(qsizetype)> rewinder();
    // The calls 0 ... last - 1 are in the box: the window follows. Returns
    // whether the verses are still needed once all is in the box.
    bool follow(qsizetype last);
    // Forgets the verse.
    void clear();

private:
    void forget();
    void rewind(qsizetype last);
    void choose(qint32 call);
    void showMoment(qsizetype last);
    CallFacts factsOf(qint32 call) const;
    // The box holds each line break as one character where the verses hold two.
    int endOf(qsizetype calls) const;

    QPlainTextEdit *box;
    Verses &verses;
    Unfolding *unfolding;
    CallTrace trace;
    CallsWindow *calls;
    bool recorded = false; // where the verse's calls begin in the box is known
    bool traced = false;   // and its calls are in the trace
    int start = 0;         // where the verse begins in the box
    int length = 0;        // of the box's text as the verse left it
};
