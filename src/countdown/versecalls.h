#pragma once

#include "calltrace.h"

#include <QObject>

#include <functional>

class CallsWindow;
class QAction;
class QPlainTextEdit;
class Unfolding;
struct Verses;

// The calls window of the rhyme window: while it is open, each verse's calls
// are recorded, so that any call can be gone to and steps taken back. The
// verse box then loses what the later calls wrote; what it held before "Пуск" stays.
class VerseCalls : public QObject
{
    Q_OBJECT

public:
    VerseCalls(QWidget *window, QPlainTextEdit *box, Verses &verses, Unfolding *unfolding);

    QAction *showAction() const;

    // Before the verse is written: its calls are recorded while the window is open.
    void beginVerse();
    // After it was written into verses.
    void endVerse();
    // How to rewind the verse's steps, when it is recorded.
    std::function<void(qsizetype)> rewinder();
    // The calls 0 ... last - 1 are in the box: the window follows. Returns
    // whether the verses are still needed once all is in the box.
    bool follow(qsizetype last);
    // Forgets the verse.
    void clear();

private:
    void rewind(qsizetype last);
    void choose(qint32 call);
    void showMoment(qint32 call);
    // The box holds each line break as one character where the verses hold two.
    int endOf(qsizetype calls) const;

    QPlainTextEdit *box;
    Verses &verses;
    Unfolding *unfolding;
    CallTrace trace;
    CallsWindow *calls;
    bool kept = false;
    int start = 0;  // where the verse begins in the box
    int length = 0; // of the box's text as the verse left it
};
