#include "recordreader.h"
#include "runner/recordformat.h"

#include <QStringDecoder>

#include <cmath>
#include <cstring>

namespace {

static_assert(int(record::ShapeKind::Circle) == OwnRun::Shape::Circle
              && int(record::ShapeKind::Scale) == OwnRun::Shape::Scale);

// What the runner itself never exceeds.
constexpr quint32 maxNameBytes = 1000;
constexpr quint32 maxParameters = 1000;
constexpr int maxFunctions = 0xffff;
constexpr qint64 maxCalls = 2'000'000;
constexpr qint64 maxLines = 30'000'000;
constexpr int maxDepth = 10'000;
constexpr quint32 maxMessageBytes = 64 * 1024;
constexpr quint32 maxGuardBytes = 200;

bool isUtf8(QByteArrayView bytes)
{
    bool ascii = true;
    for (const char byte : bytes)
        ascii = ascii && quint8(byte) < 0x80;
    if (ascii)
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool isCorner(float number)
{
    return number == std::trunc(number) && std::abs(number) <= 32767;
}

} // namespace

RecordReader::RecordReader(OwnRun &run) : run(run), lineCount(int(run.code().count(u'\n')) + 1) { }

void RecordReader::take(QByteArrayView bytes)
{
    if (bytes.isEmpty() || ended())
        return;
    received += bytes.size();
    if (received > maxBytes) {
        wrong("запись длиннее 150 МБ");
        return;
    }
    pending += bytes;
    const char *at = pending.constData(), *end = at + pending.size();
    while (at < end && !ended() && readEvent(at, end) == Got::Event) { }
    pending.remove(0, at - pending.constData());
}

RecordReader::Got RecordReader::wrong(const char *reason)
{
    state = Damaged;
    why = QString::fromUtf8(reason);
    pending.clear();
    return Got::Wrong;
}

RecordReader::Got RecordReader::getNumber(const char *&at, const char *end, quint32 &number)
{
    const char *start = at;
    if (record::getNumber(at, end, number))
        return Got::Event;
    return end - start >= qint64(record::maxNumberBytes) ? wrong("неверное число") : Got::Later;
}

RecordReader::Got RecordReader::getText(const char *&at, const char *end, QString &text,
                                        quint32 maxBytes)
{
    quint32 length = 0;
    if (const Got got = getNumber(at, end, length); got != Got::Event)
        return got;
    if (length > maxBytes)
        return wrong("слишком длинный текст");
    if (end - at < qint64(length))
        return Got::Later;
    if (!isUtf8({at, length}))
        return wrong("текст не в UTF-8");
    text = QString::fromUtf8(at, length);
    at += length;
    return Got::Event;
}

RecordReader::Got RecordReader::getLine(const char *&at, const char *end, int &line,
                                        bool noneAllowed)
{
    quint32 number = 0;
    if (const Got got = getNumber(at, end, number); got != Got::Event)
        return got;
    if (number > quint32(lineCount) || (number == 0 && !noneAllowed))
        return wrong("строки с таким номером нет в тексте");
    line = int(number);
    return Got::Event;
}

// A value as the window writes it: a byte of length, then at most 30 characters in UTF-8.
RecordReader::Got RecordReader::getValue(const char *&at, const char *end, QByteArrayView &value)
{
    if (at == end || end - at - 1 < quint8(*at))
        return Got::Later;
    value = QByteArrayView(at + 1, quint8(*at));
    if (value.size() > qsizetype(record::maxValueBytes) || !isUtf8(value))
        return wrong("неверное значение");
    at += 1 + value.size();
    return Got::Event;
}

// The arguments are whole values, each of at most 30 characters in UTF-8, no more of
// them than the function has parameters.
bool RecordReader::argumentsFit(QByteArrayView arguments, int function) const
{
    int count = 0;
    for (qsizetype at = 0; at < arguments.size(); ++count) {
        const auto length = quint8(arguments[at]);
        if (length > record::maxValueBytes || at + 1 + length > arguments.size()
            || !isUtf8(arguments.sliced(at + 1, length)))
            return false;
        at += 1 + length;
    }
    return count <= parameterCounts[function];
}

// Reads one event, moving from past it: Later when it has not all come yet.
RecordReader::Got RecordReader::readEvent(const char *&from, const char *end)
{
    const char *at = from + 1;
    quint32 number = 0, length = 0;
    Got got = Got::Event;
    const char tag = *from;
    if (tag == record::Guard) {
        if (started)
            return wrong("защита названа не в начале");
        QString guard;
        if ((got = getText(at, end, guard, maxGuardBytes)) != Got::Event)
            return got;
        run.setGuard(guard);
        from = at;
        started = true;
        return Got::Event;
    }
    started = true;
    switch (tag) {
    case record::Function: {
        QString name, parameter;
        QStringList parameters;
        if ((got = getText(at, end, name, maxNameBytes)) != Got::Event)
            return got;
        if ((got = getNumber(at, end, number)) != Got::Event)
            return got;
        if (number > maxParameters || functions.size() >= maxFunctions)
            return wrong("невозможное число параметров или функций");
        for (quint32 i = 0; i < number; ++i) {
            if ((got = getText(at, end, parameter, maxNameBytes)) != Got::Event)
                return got;
            parameters << parameter;
        }
        functions.push_back(run.addFunction(name, parameters));
        parameterCounts.push_back(int(number));
        break;
    }
    case record::Call: {
        if ((got = getNumber(at, end, number)) != Got::Event
            || (got = getNumber(at, end, length)) != Got::Event)
            return got;
        if (number >= quint32(functions.size()))
            return wrong("вызов функции, которой нет");
        if (length > (maxParameters + 1) * (record::maxValueBytes + 1))
            return wrong("слишком длинные аргументы");
        if (end - at < qint64(length))
            return Got::Later;
        const QByteArrayView arguments(at, length);
        if (!argumentsFit(arguments, int(number)))
            return wrong("неверные аргументы вызова");
        if (++calls > maxCalls || run.depth() >= maxDepth)
            return wrong("невозможное число вызовов");
        run.enter(functions[number], arguments);
        at += length;
        break;
    }
    case record::Line: {
        int line = 0;
        if ((got = getLine(at, end, line, false)) != Got::Event)
            return got;
        if (++lines > maxLines)
            return wrong("невозможное число строк");
        run.line(line);
        break;
    }
    case record::Return:
    case record::Value: {
        QByteArrayView value;
        if ((got = getValue(at, end, value)) != Got::Event)
            return got;
        if (run.depth() == 0)
            return wrong(tag == record::Return ? "возврат без вызова" : "значение вне вызова");
        tag == record::Return ? run.leave(value) : run.assign(value);
        break;
    }
    case record::Shape: {
        if (end - from < qint64(record::shapeBytes))
            return Got::Later;
        OwnRun::Shape shape;
        std::memcpy(&shape.a, at, 4);
        std::memcpy(&shape.b, at + 4, 4);
        std::memcpy(&shape.c, at + 8, 4);
        std::memcpy(&shape.d, at + 12, 4);
        shape.colour = quint8(at[16]);
        const auto kind = quint8(at[17]);
        const bool finite = std::isfinite(shape.a) && std::isfinite(shape.b)
                && std::isfinite(shape.c) && std::isfinite(shape.d);
        if (shape.colour > 15 || kind > OwnRun::Shape::Scale || !finite)
            return wrong("неверная фигура");
        shape.kind = OwnRun::Shape::Kind(kind);
        if (shape.kind == OwnRun::Shape::Scale
            && (!isCorner(shape.a) || !isCorner(shape.b) || !isCorner(shape.c) || !isCorner(shape.d)
                || shape.a == shape.c || shape.b == shape.d))
            return wrong("неверная система координат");
        run.shape(shape);
        at += 18;
        break;
    }
    case record::Print: {
        QString text;
        if ((got = getText(at, end, text, quint32(maxBytes))) != Got::Event)
            return got;
        run.print(text);
        break;
    }
    case record::Failure: {
        OwnRun::Failure failure;
        if ((got = getLine(at, end, failure.line, true)) != Got::Event
            || (got = getText(at, end, failure.function, maxNameBytes)) != Got::Event
            || (got = getText(at, end, failure.message, maxMessageBytes)) != Got::Event)
            return got;
        run.fail(failure);
        state = Ended;
        break;
    }
    case record::End:
        state = Ended;
        break;
    default:
        return wrong("событие неизвестного вида");
    }
    from = at;
    return Got::Event;
}
