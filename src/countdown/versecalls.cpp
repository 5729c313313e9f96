#include "versecalls.h"

#include "callswindow.h"
#include "unfolding.h"
#include "verse.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

VerseCalls::VerseCalls(QWidget *window, QPlainTextEdit *box, Verses &verses, Unfolding *unfolding)
    : QObject(window), box(box), verses(verses), unfolding(unfolding),
      calls(new CallsWindow(trace, QStringLiteral("Напишите стихи, чтобы увидеть их вызовы"), false,
                            window))
{
    unfolding->watchKeysIn(calls);
    connect(calls, &CallsWindow::callChosen, this, &VerseCalls::choose);
}

QAction *VerseCalls::showAction() const
{
    return calls->showAction();
}

void VerseCalls::beginVerse()
{
    clear();
    if (!calls->isVisible())
        return;
    kept = true;
    verses.calls = &trace;
    start = box->document()->characterCount() - 1;
}

void VerseCalls::endVerse()
{
    verses.calls = nullptr;
}

std::function<void(qsizetype)> VerseCalls::rewinder()
{
    if (!kept)
        return {};
    return [this](qsizetype last) { rewind(last); };
}

bool VerseCalls::follow(qsizetype last)
{
    if (!kept)
        return false;
    if (last == verses.callStarts.size() && !calls->isVisible()) {
        clear();
        return false;
    }
    calls->showCall(qint32(last) - 1);
    return true;
}

// The unfolding forgets how to rewind the verse.
void VerseCalls::clear()
{
    if (kept)
        unfolding->stop();
    verses.calls = nullptr;
    kept = false;
    trace.clear();
    calls->showNoCalls();
}

// Removes what the calls from last on wrote. The box holds each line break as
// one character where the verses hold two.
void VerseCalls::rewind(qsizetype last)
{
    const qsizetype written
            = last < verses.callStarts.size() ? verses.callStarts[last] : verses.text.size();
    const QStringView prefix = QStringView(verses.text).first(written);
    QTextCursor cursor(box->document());
    cursor.setPosition(start + int(written - prefix.count(u'\r')));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    showMoment(qint32(last) - 1);
}

void VerseCalls::choose(qint32 call)
{
    if (kept && call < trace.calls())
        unfolding->goTo(call + 1);
}

// The window at this call, and the newest lines of the box in view.
void VerseCalls::showMoment(qint32 call)
{
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    calls->showCall(call);
}
