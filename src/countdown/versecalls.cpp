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
    calls->setCallFacts([this](qint32 call) { return factsOf(call); });
}

// The lines the call wrote, each without its line break.
CallFacts VerseCalls::factsOf(qint32 call) const
{
    CallFacts facts;
    const qsizetype from = verses.callStarts.value(call, verses.text.size());
    const qsizetype to = verses.callStarts.value(call + 1, verses.text.size());
    const QString written = verses.text.sliced(from, to - from);
    facts.written = written.split(u"\r\n"_qs);
    if (written.endsWith(u"\r\n"_qs))
        facts.written.removeLast();
    return facts;
}

QAction *VerseCalls::showAction() const
{
    return calls->showAction();
}

void VerseCalls::beginVerse(bool unfolds)
{
    clear();
    traced = calls->isVisible();
    recorded = unfolds || traced;
    if (traced)
        verses.calls = &trace;
    start = box->document()->characterCount() - 1;
}

void VerseCalls::endVerse()
{
    verses.calls = nullptr;
}

std::function<void(qsizetype)> VerseCalls::rewinder()
{
    if (!recorded)
        return {};
    return [this](qsizetype last) { rewind(last); };
}

// A box typed into while the verse was written no longer holds it where it was written.
bool VerseCalls::follow(qsizetype last)
{
    if (!recorded)
        return false;
    if (box->document()->characterCount() - 1 != endOf(last)) { // the verse goes on, forgotten
        unfolding->forgetRewind();
        forget();
        return false;
    }
    if (traced && last == verses.callStarts.size())
        calls->showFinished();
    else if (traced)
        calls->showCall(qint32(last) - 1);
    length = box->document()->characterCount();
    return true;
}

void VerseCalls::clear()
{
    unfolding->stop();
    forget();
}

void VerseCalls::forget()
{
    verses.calls = nullptr;
    recorded = traced = false;
    trace.clear();
    calls->showNoCalls();
}

// Removes what the calls from last on wrote. Once the box was typed into, the
// verse is forgotten rather than the user's text cut.
void VerseCalls::rewind(qsizetype last)
{
    if (box->document()->characterCount() != length) { // typed into since: the text is the user's
        clear();
        return;
    }
    QTextCursor cursor(box->document());
    cursor.setPosition(endOf(last));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    length = box->document()->characterCount();
    showMoment(last);
}

// Where what the calls 0 ... calls - 1 wrote ends in the box.
int VerseCalls::endOf(qsizetype calls) const
{
    const qsizetype written
            = calls < verses.callStarts.size() ? verses.callStarts[calls] : verses.text.size();
    return start + int(written - QStringView(verses.text).first(written).count(u'\r'));
}

void VerseCalls::choose(qint32 call)
{
    if (traced && call < trace.calls())
        unfolding->goTo(call + 1);
}

// The window right after the last of the calls in the box, and the newest lines in view.
void VerseCalls::showMoment(qsizetype last)
{
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    if (traced)
        calls->showCall(qint32(last) - 1);
}
