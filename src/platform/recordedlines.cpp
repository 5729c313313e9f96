#include "recordedlines.h"

#include "calltrace.h"
#include "ownrun.h"

#include <QRegularExpression>

namespace {

using Event = OwnRun::Event;

QString point(float x, float y)
{
    return u'(' + russianNumber(x) + u"; "_qs + russianNumber(y) + u')';
}

// Where a line drawn on from the end of the last line starts: there, or at (0; 0) before any.
QString lineOnStart(const LargeVector<OwnRun::Shape> &shapes, qsizetype at)
{
    while (--at >= 0)
        if (shapes[size_t(at)].kind == OwnRun::Shape::Line
            || shapes[size_t(at)].kind == OwnRun::Shape::LineOn)
            return point(shapes[size_t(at)].c, shapes[size_t(at)].d);
    return point(0, 0);
}

// Whether the text calls one of the functions the run called.
bool callsFunctionOf(const OwnRun &run, const QString &text)
{
    for (int f = 0; !run.functionName(f).isEmpty(); ++f)
        if (text.contains(QRegularExpression(u"\\b"_qs + run.functionName(f) + u"\\s*\\("_qs)))
            return true;
    return false;
}

int indentOf(QStringView line)
{
    int indent = 0;
    while (indent < line.size() && line[indent].isSpace())
        ++indent;
    return indent;
}

// The part of a line before its comment, if any, the trailing blanks dropped.
QString withoutComment(const QString &line)
{
    static const QRegularExpression comment(QStringLiteral(R"(\s*#[^'"]*$)"));
    return QString(line).remove(comment).trimmed();
}

} // namespace

QString RecordedLines::code() const
{
    return run.code();
}

bool RecordedLines::isPlace(qsizetype event) const
{
    const Event kind = run.event(event);
    return kind == Event::Line
            || (kind == Event::Call && event > 0 && run.event(event - 1) == Event::Return);
}

LinePlace RecordedLines::placeAt(qsizetype event) const
{
    const qint32 call = run.callAt(event);
    return {run.event(event) == Event::Call ? run.trace().parent(call) : call, int(event)};
}

std::optional<LinePlace> RecordedLines::placeFrom(qsizetype event) const
{
    for (; event < run.events(); ++event)
        if (isPlace(event))
            return placeAt(event);
    return {};
}

std::optional<LinePlace> RecordedLines::placeUntil(qsizetype event) const
{
    for (; event >= 0; --event)
        if (isPlace(event))
            return placeAt(event);
    return {};
}

LinePlace RecordedLines::first() const
{
    return placeFrom(0).value_or(LinePlace{-1, 0});
}

LinePlace RecordedLines::last() const
{
    return placeUntil(run.events() - 1).value_or(LinePlace{-1, 0});
}

std::optional<LinePlace> RecordedLines::next(LinePlace place) const
{
    return placeFrom(place.step + 1);
}

std::optional<LinePlace> RecordedLines::previous(LinePlace place) const
{
    return placeUntil(place.step - 1);
}

qsizetype RecordedLines::afterLine(qsizetype event) const
{
    ++event;
    while (event < run.events() && run.event(event) == Event::Output)
        ++event;
    return event;
}

qint32 RecordedLines::callMade(LinePlace place) const
{
    if (run.event(place.step) == Event::Call)
        return run.callAt(place.step);
    const qsizetype after = afterLine(place.step);
    return after < run.events() && run.event(after) == Event::Call ? run.callAt(after) : -1;
}

std::optional<LinePlace> RecordedLines::over(LinePlace place) const
{
    if (const qint32 call = callMade(place); call >= 0)
        return placeFrom(run.returnEvent(call) + 1);
    if (place.call < 0)
        return next(place);
    return placeFrom(run.returnEvent(place.call) + 1);
}

qsizetype RecordedLines::ownBefore(qint32 call, qsizetype event) const
{
    qsizetype before = event - 1;
    if (event >= run.events() && before > run.callEvent(call)) {
        // Cut short by the run's end, with the calls it was waiting on, which never returned.
        qint32 inner = run.callAt(before);
        while (inner >= 0 && inner != call && run.trace().parent(inner) != call)
            inner = run.trace().parent(inner);
        if (inner >= 0 && inner != call)
            before = run.callEvent(inner) - 1;
    }
    while (before > run.callEvent(call) && run.event(before) == Event::Return
           && run.callAt(before) != call)
        before = run.callEvent(run.callAt(before)) - 1;
    return before;
}

// At the line that made the call's last output, or else at its last line. A figure's call
// that made no call of its own stopped there: at its last line, its return.
LinePlace RecordedLines::afterOutput(qint32 call) const
{
    const bool stopped = !verses && run.trace().firstChild(call) < 0;
    qsizetype lastLine = -1;
    for (qsizetype e = ownBefore(call, run.returnEvent(call)); e > run.callEvent(call);
         e = ownBefore(call, e)) {
        if (run.event(e) == Event::Output && !stopped)
            return placeUntil(e).value_or(first());
        if (lastLine < 0 && run.event(e) == Event::Line)
            lastLine = e;
        if (lastLine >= 0 && stopped)
            break;
    }
    return lastLine >= 0 ? placeAt(lastLine) : placeUntil(run.callEvent(call)).value_or(first());
}

qint32 RecordedLines::newestCall(LinePlace place) const
{
    return run.callsBefore(place.step) - 1;
}

int RecordedLines::line(LinePlace place) const
{
    qsizetype event = place.step;
    // A call made again on the same line: that line is the caller's last.
    while (event > 0 && run.event(event) != Event::Line)
        event = run.event(event - 1) == Event::Return ? run.callEvent(run.callAt(event - 1))
                                                      : event - 1;
    return run.event(event) == Event::Line ? int(run.payload(event)) : 0;
}

// A shape drawn, or in the verse a line written.
bool RecordedLines::outputs(LinePlace place) const
{
    if (run.event(place.step) != Event::Line)
        return false;
    for (qsizetype e = place.step + 1; e < afterLine(place.step); ++e)
        if (run.printedAt(e) == verses)
            return true;
    return false;
}

QString RecordedLines::explain(LinePlace place) const
{
    const int number = line(place);
    const QString code = withoutComment(run.code().section(u'\n', number - 1, number - 1));
    QString what = code;
    if (const qint32 call = callMade(place); call >= 0) {
        what = (place.call < 0 ? u"Вызов: "_qs : u"Рекурсивный вызов: "_qs) + run.callText(call);
    } else if (afterLine(place.step) > place.step + 1) {
        const qsizetype event = place.step + 1;
        const qsizetype at = run.outputAt(event);
        if (run.printedAt(event)) {
            const QString text = run.printed()[at].chopped(run.printed()[at].endsWith(u'\n'));
            what = (verses ? u"Строка стихов: «"_qs : u"Вывод: «"_qs) + text + u'»';
        } else {
            const OwnRun::Shape &s = run.shapes()[size_t(at)];
            if (s.kind == OwnRun::Shape::Circle)
                what = u"Окружность: центр "_qs + point(s.a, s.b) + u", радиус "_qs
                        + russianNumber(s.c);
            else if (s.kind == OwnRun::Shape::Scale)
                what = u"Система координат: от "_qs + point(s.a, s.b) + u" до "_qs
                        + point(s.c, s.d);
            else
                what = u"Линия: от "_qs
                        + (s.kind == OwnRun::Shape::Line ? point(s.a, s.b)
                                                         : lineOnStart(run.shapes(), at))
                        + u" до "_qs + point(s.c, s.d);
        }
    } else if (const QString value = run.assigned(place.step); !value.isEmpty()) {
        what = code.section(QRegularExpression(u"\\s*(//|\\*\\*|[-+*/%])?="_qs), 0, 0).trimmed()
                + u" = "_qs + value;
    } else if (place.call >= 0 && (code == u"return" || code.startsWith(u"return "))) {
        const QString value = run.result(place.call);
        what = u"Возврат: "_qs + run.callText(place.call) + u" закончен"_qs
                + (value.isEmpty() ? QString() : u", значение "_qs + value);
    } else if (code.startsWith(u"if ") || code.startsWith(u"elif ") || code.startsWith(u"while ")) {
        what = explainTest(place, code);
    }
    return u"Строка %1. "_qs.arg(number) + what;
}

// The outcome from where the run went next: into the lines under the test, or past them.
QString RecordedLines::explainTest(LinePlace place, const QString &code) const
{
    const qsizetype colon = code.lastIndexOf(u':');
    const QString condition = code.sliced(code.indexOf(u' ') + 1, colon - code.indexOf(u' ') - 1);
    const QString lineText = run.code().section(u'\n', line(place) - 1, line(place) - 1);
    // A body on the test's own line runs next, unless it calls one of the code's functions:
    // the line would then have been explained as that call.
    const QString body = code.sliced(colon + 1);
    bool holds = !body.isEmpty() && !callsFunctionOf(run, body);
    const std::optional<LinePlace> after = over(place);
    const qsizetype nextEvent = after ? after->step : run.events();
    for (qsizetype e = afterLine(place.step); e < nextEvent; ++e)
        if (run.event(e) == Event::Line && run.callAt(e) == place.call) {
            const QString next
                    = run.code().section(u'\n', int(run.payload(e)) - 1, int(run.payload(e)) - 1);
            holds = int(run.payload(e)) > line(place) && indentOf(next) > indentOf(lineText);
            break;
        }
    QString values = condition;
    static const QRegularExpression plainNumber(QStringLiteral(R"(^-?\d+(,\d+)?$)"));
    if (place.call >= 0) {
        const QStringList names = run.parameters(run.function(place.call));
        const QStringList arguments = run.arguments(place.call);
        for (qsizetype i = 0; i < std::min(names.size(), arguments.size()); ++i)
            if (plainNumber.match(arguments[i]).hasMatch())
                values.replace(QRegularExpression(u"\\b"_qs + names[i] + u"\\b"_qs), arguments[i]);
    }
    return u"Проверка "_qs + condition + (values != condition ? u": "_qs + values : QString())
            + (holds ? u" — да"_qs : u" — нет"_qs);
}
