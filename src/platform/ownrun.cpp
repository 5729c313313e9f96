#include "ownrun.h"

#include <algorithm>

int OwnRun::addFunction(const QString &name, const QStringList &parameters)
{
    functions_.append({name, parameters});
    if (functions_.size() == 1)
        trace_.setNames({[this](qint32 call) { return callText(call); },
                         [this](qint32 call) {
                             QString text = callText(call);
                             if (const QString value = result(call); !value.isEmpty())
                                 text += u" → "_qs + value;
                             if (trace_.firstChild(call) < 0)
                                 text += u" — остановка"_qs;
                             return text;
                         },
                         [this](qint32 call) { return result(call); },
                         [this](qint32 call) {
                             return functionName(function(call)) + u'('
                                     + arguments(call).join(u"; "_qs) + u')';
                         },
                         [this](qint32 call) {
                             return std::pair{function(call), argumentBytes(call)};
                         }});
    return int(functions_.size() - 1);
}

void OwnRun::add(Event event, quint32 payload)
{
    events_.push_back(quint32(event) << payloadBits | (payload & payloadMask));
}

void OwnRun::enter(int function, QByteArrayView arguments)
{
    if (running.empty() && topLine > 0)
        add(Event::Line, quint32(std::exchange(topLine, 0)));
    const auto call = qint32(calls_.size());
    trace_.enter(int(running.size()) + 1);
    calls_.push_back({quint32(events_.size()), quint32(events_.size()), quint32(values_.size()),
                      noResult, quint16(function)});
    values_.insert(values_.end(), arguments.begin(), arguments.end());
    running.push_back(call);
    runningLines.push_back(noLine);
    add(Event::Call, 0);
}

void OwnRun::line(int number)
{
    if (running.empty()) {
        topLine = number;
        return;
    }
    runningLines.back() = quint32(events_.size());
    add(Event::Line, quint32(number));
}

void OwnRun::shape(const Shape &shape)
{
    shapes_.push_back(shape);
    output(quint32(shapes_.size() - 1));
}

void OwnRun::print(const QString &text)
{
    printed_.append(text);
    output(printedBit | quint32(printed_.size() - 1));
}

// A call's outputs make one step until another call outputs; the top level's join the
// step before them, or the first step when none was made yet.
void OwnRun::output(quint32 payload)
{
    add(Event::Output, payload);
    if (!running.empty()) {
        const qsizetype before = trace_.steps();
        trace_.drew(running.back(), qint32(calls_.size()) - 1);
        if (trace_.steps() > before)
            stepEnds_.push_back({});
    }
    if (!stepEnds_.empty())
        stepEnds_.back() = {qsizetype(shapes_.size()), printed_.size()};
}

void OwnRun::leave(QByteArrayView value)
{
    if (running.empty())
        return;
    Call &call = calls_[size_t(running.back())];
    call.lastEvent = quint32(events_.size());
    if (!value.isEmpty())
        call.result = keepValue(value);
    running.pop_back();
    runningLines.pop_back();
    add(Event::Return, 0);
}

void OwnRun::assign(QByteArrayView value)
{
    if (running.empty() || runningLines.back() == noLine || value.isEmpty())
        return;
    assigned_.push_back({runningLines.back(), keepValue(value)});
}

// A value after the others, as a byte of length and its bytes: returns where it starts.
quint32 OwnRun::keepValue(QByteArrayView value)
{
    const auto at = quint32(values_.size());
    const qsizetype length = std::min<qsizetype>(value.size(), 255);
    values_.push_back(char(length));
    values_.insert(values_.end(), value.begin(), value.begin() + length);
    return at;
}

QString OwnRun::assigned(qsizetype lineEvent) const
{
    const auto found = std::lower_bound(
            assigned_.begin(), assigned_.end(), quint32(lineEvent),
            [](const std::pair<quint32, quint32> &a, quint32 event) { return a.first < event; });
    return found != assigned_.end() && found->first == quint32(lineEvent) ? valueAt(found->second)
                                                                          : QString();
}

// Calls cut short by a failure end where the run ended.
void OwnRun::finish()
{
    for (qint32 call : running)
        calls_[size_t(call)].lastEvent = quint32(events_.size());
    running.clear();
    runningLines.clear();
    topLine = 0;
    if (!stepEnds_.empty())
        stepEnds_.back() = {qsizetype(shapes_.size()), printed_.size()};
}

QString OwnRun::valueAt(quint32 at) const
{
    const auto length = quint8(values_[at]);
    return QString::fromUtf8(&values_[at + 1], length);
}

QStringList OwnRun::arguments(qint32 call) const
{
    const Call &c = calls_[size_t(call)];
    const quint32 end = size_t(call) + 1 < calls_.size() ? calls_[size_t(call) + 1].arguments
                                                         : quint32(values_.size());
    QStringList values;
    for (quint32 at = c.arguments; at < end && values.size() < parameters(c.function).size();
         at += 1 + quint8(values_[at]))
        values << valueAt(at);
    return values;
}

QByteArrayView OwnRun::argumentBytes(qint32 call) const
{
    const Call &c = calls_[size_t(call)];
    const quint32 end = size_t(call) + 1 < calls_.size() ? calls_[size_t(call) + 1].arguments
                                                         : quint32(values_.size());
    quint32 at = c.arguments;
    const qsizetype count = functions_.at(c.function).parameters.size();
    for (qsizetype kept = 0; at < end && kept < count; ++kept)
        at += 1 + quint8(values_[at]);
    return {values_.data() + c.arguments, qsizetype(std::min(at, end) - c.arguments)};
}

QString OwnRun::result(qint32 call) const
{
    const quint32 at = calls_[size_t(call)].result;
    return at == noResult ? QString() : valueAt(at);
}

QString OwnRun::callText(qint32 call) const
{
    const int f = function(call);
    const QStringList names = parameters(f);
    const QStringList values = arguments(call);
    QStringList pairs;
    for (qsizetype i = 0; i < values.size(); ++i)
        pairs << names.value(i) + u" = "_qs + values[i];
    return functionName(f) + u'(' + pairs.join(u"; "_qs) + u')';
}

qint32 OwnRun::callsBefore(qsizetype at) const
{
    return qint32(std::lower_bound(
                          calls_.begin(), calls_.end(), quint32(at),
                          [](const Call &call, quint32 event) { return call.firstEvent < event; })
                  - calls_.begin());
}

// The newest call made by then, or the nearest of its callers still running.
qint32 OwnRun::callAt(qsizetype at) const
{
    qint32 c = callsBefore(at + 1) - 1;
    while (c >= 0 && calls_[size_t(c)].lastEvent < at)
        c = trace_.parent(c);
    return c;
}

OwnRun::Outputs OwnRun::outputsUpTo(qsizetype at) const
{
    Outputs done;
    bool shapeFound = false;
    bool printFound = false;
    for (qsizetype e = at; e >= 0 && !(shapeFound && printFound); --e) {
        if (event(e) != Event::Output)
            continue;
        if (printedAt(e) && !printFound) {
            done.printed = outputAt(e) + 1;
            printFound = true;
        } else if (!printedAt(e) && !shapeFound) {
            done.shapes = outputAt(e) + 1;
            shapeFound = true;
        }
    }
    return done;
}

qsizetype OwnRun::bytes() const
{
    return trace_.bytes() + qsizetype(calls_.capacity() * sizeof(Call))
            + qsizetype(events_.capacity() * sizeof(quint32)) + qsizetype(values_.capacity())
            + qsizetype(shapes_.capacity() * sizeof(Shape))
            + qsizetype(stepEnds_.capacity() * sizeof(Outputs))
            + qsizetype(assigned_.capacity() * sizeof(assigned_[0]));
}
