#include "versecalls.h"

#include "callswindow.h"
#include "linesteps.h"
#include "ownrun.h"
#include "recordedlines.h"
#include "unfolding.h"
#include "verse.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

VerseCalls::VerseCalls(QWidget *window, QPlainTextEdit *box, Verses &verses, Unfolding *unfolding)
    : QObject(window), box(box), verses(verses), unfolding(unfolding),
      calls(new CallsWindow(trace, QStringLiteral("Напишите стихи, чтобы увидеть их вызовы"), true,
                            window))
{
    unfolding->watchKeysIn(calls);
    connect(calls, &CallsWindow::callChosen, this, &VerseCalls::choose);
    calls->setCallFacts([this](qint32 call) { return factsOf(call); });
    lines = new LineSteps(calls, trace,
                          {[this] { return traced ? order.get() : nullptr; },
                           [this](const LineOrder &, LinePlace place) { showLine(place); },
                           [this](qint32 call) { choose(call); }});
    unfolding->setLineSteps(lines);
    // Once the program's own writing is done: only the user's typing then changes the box.
    connect(box, &QPlainTextEdit::textChanged, this, &VerseCalls::noticeTyping,
            Qt::QueuedConnection);
}

// A box typed into holds the user's text: the verse is no longer followed, and by lines
// no longer written either.
void VerseCalls::noticeTyping()
{
    if (!recorded || box->document()->characterCount() == length)
        return;
    if (unfolding->pace() == Pace::Linewise) {
        clear();
        return;
    }
    unfolding->forgetRewind();
    forget();
}

// The lines the call wrote, each without its line break.
CallFacts VerseCalls::factsOf(qint32 call) const
{
    CallFacts facts;
    const qsizetype from = verses.start(call);
    const qsizetype to = verses.start(call + 1);
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

QAction *VerseCalls::drawnTreeAction() const
{
    return calls->drawnTreeAction();
}

void VerseCalls::beginVerse(bool unfolds)
{
    clear();
    traced = calls->isVisible();
    recorded = unfolds || traced;
    if (traced)
        verses.calls = &trace;
    length = box->document()->characterCount();
    start = length - 1;
    written = 0;
}

// The own code's calls go with its verse, the calls window open or not: they cannot be had again.
void VerseCalls::takeOwnRun(std::shared_ptr<const OwnRun> run)
{
    recorded = traced = true;
    own = std::move(run);
    trace = own->trace();
    printedEnds.clear();
    qsizetype end = 0;
    for (const QString &printed : own->printed())
        printedEnds << (end += printed.size() + printed.count(u'\n'));
    if (trace.calls() > 0) {
        auto lines = std::make_unique<RecordedLines>(*own, true);
        calls->setOwnLines(lines.get());
        order = std::move(lines);
    }
}

void VerseCalls::endVerse()
{
    verses.calls = nullptr;
    if (traced)
        order = std::make_unique<LineWalk>(trace, ProcedureText::named(trace.procedureName()));
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
        calls->showCall(trace.stepCall(last - 1));
    length = box->document()->characterCount();
    written = verses.start(last);
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
    calls->setOwnLines(nullptr);
    order.reset();
    own.reset();
    trace.clear();
    calls->showNoCalls();
}

// Removes what the calls from last on wrote. Once the box was typed into, the
// verse is forgotten rather than the user's text cut.
void VerseCalls::rewind(qsizetype last)
{
    showWritten(verses.start(last));
    if (recorded)
        showMoment(traced && last > 0 ? trace.stepCall(last - 1) : -1);
}

// Where what the calls 0 ... calls - 1 wrote ends in the box.
int VerseCalls::endOf(qsizetype calls) const
{
    return boxEnd(verses.start(calls));
}

// Where the verse's text up to this length ends in the box.
int VerseCalls::boxEnd(qsizetype upTo) const
{
    return start + int(upTo - QStringView(verses.text).first(upTo).count(u'\r'));
}

// A call is gone to right after its writing, by lines too.
void VerseCalls::choose(qint32 call)
{
    if (!traced || call >= trace.calls())
        return;
    if (unfolding->pace() == Pace::Linewise) {
        lines->goTo(call);
        return;
    }
    // Shown even where the box already holds its writing, as the last call's is when it is
    // left line by line.
    unfolding->goTo(trace.stepsUpTo(call));
    showMoment(call);
}

void VerseCalls::dropPartial(qsizetype calls)
{
    if (recorded && written > verses.start(calls))
        showWritten(verses.start(calls));
}

void VerseCalls::showWritten(qsizetype upTo)
{
    if (box->document()->characterCount() != length) { // typed into since: the text is the user's
        clear();
        return;
    }
    QTextCursor cursor(box->document());
    cursor.setPosition(boxEnd(std::min(upTo, written)));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(
            QStringView(verses.text)
                    .sliced(std::min(upTo, written), std::max<qsizetype>(upTo - written, 0))
                    .toString()
                    .replace(u"\r\n"_qs, u"\n"_qs));
    length = box->document()->characterCount();
    written = upTo;
}

// The verse up to a line of one of its calls: the lines its writing lines wrote so far,
// and the window at that moment. A call writes before it calls, so the calls before the
// newest wrote all their lines.
void VerseCalls::showLine(LinePlace place)
{
    if (own) {
        showOwnLine(place);
        return;
    }
    const auto &walk = static_cast<const LineWalk &>(*order);
    const qint32 newest = walk.newestCall(place);
    qsizetype upTo = verses.start(newest + 1);
    if (newest == place.call) {
        upTo = verses.start(place.call);
        for (int line = 0; line < walk.outputsDone(place); ++line) {
            const qsizetype lineEnd = verses.text.indexOf(u"\r\n"_qs, upTo);
            upTo = lineEnd >= 0 && lineEnd < verses.start(place.call + 1)
                    ? lineEnd + 2
                    : verses.start(place.call + 1);
        }
    }
    showWritten(upTo);
    if (!traced) // the box was typed into: the verse is forgotten
        return;
    unfolding->showedUpTo(upTo < verses.start(newest + 1) ? newest : newest + 1);
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    calls->showLine(place.call, walk.line(place), newest);
}

void VerseCalls::showMoment(qint32 call)
{
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    if (traced && call >= 0)
        calls->showCall(call);
}

// The own code's verse up to a line: what its printing lines printed so far.
void VerseCalls::showOwnLine(LinePlace place)
{
    const std::optional<LinePlace> next = order->next(place);
    const qsizetype printed = own->outputsUpTo((next ? next->step : own->events()) - 1).printed;
    const qsizetype upTo = printed > 0 ? printedEnds[printed - 1] : 0;
    showWritten(upTo);
    if (!traced)
        return;
    qsizetype full = 0; // the steps written whole by then
    while (full < verses.callStarts.size() && verses.start(full + 1) <= upTo)
        ++full;
    unfolding->showedUpTo(full);
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    calls->showOwnLine(place);
}
