#pragma once

#include "calltrace.h"
#include "largeblocks.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One run of the class's own Python code, as the runner recorded it: the calls of
// the functions the code defines, the lines it ran in the order it ran them, what
// it drew or printed, and how it ended. It is built event by event while the
// runner's record is read, and then only read.
class OwnRun
{
public:
    // A shape the code drew, in the coordinate system set last; colours are the
    // program's sixteen, 0 to 15. A line from (a, b) to (c, d); a line on from the
    // current point to (c, d); a circle around (a, b) of radius c; a new coordinate
    // system with the corners (a, b) and (c, d).
    struct Shape
    {
        enum Kind : quint8 { Line, LineOn, Circle, Scale };
        float a, b, c, d;
        quint8 colour;
        Kind kind;
    };
    // How a run ended short: the message in Russian, naming the line where it
    // applies ("Строка 4: имя «cirle» не определено. ..."), that line (0 for
    // none) and the function running there (empty at the top level).
    struct Failure
    {
        QString message;
        int line = 0;
        QString function;
    };
    // What one event of the run is.
    enum class Event : quint8 { Call, Line, Output, Return };

    explicit OwnRun(QString code = {}) : code_(std::move(code)) { }
    Q_DISABLE_COPY_MOVE(OwnRun) // its calls' names refer to it

    // Building, in the order the runner records it.
    //
    // A function the code defines, announced before its first call: returns its number.
    int addFunction(const QString &name, const QStringList &parameters);
    // A call of function, its arguments as the window writes them, one after another,
    // each as one byte of length and that many bytes of UTF-8 ("30", "13,33", "'да'").
    void enter(int function, QByteArrayView arguments);
    // A line run in the current call, or at the top level when no call runs.
    void line(int number);
    void shape(const Shape &shape);
    void print(const QString &text);
    // The current call returned this value as the window writes it; empty for None.
    void leave(QByteArrayView value = {});
    // The current call's last line ("x2 = x + r") gave its local this value.
    void assign(QByteArrayView value);
    void fail(Failure failure) { failure_ = std::move(failure); }
    // Which layers of the runner's box held ("Защита: seccomp, Landlock 7").
    void setGuard(const QString &guard) { guard_ = guard; }
    // The record could not be trusted: nothing of it is to be shown but the failure.
    void setDamaged() { damaged_ = true; }
    // The record read: drops the top-level lines that called nothing.
    void finish();

    QString code() const { return code_; }
    // The calls made, each with its caller (-1 from the top level) and the calls that
    // drew or printed as steps, with the names the code gives them.
    const CallTrace &trace() const { return trace_; }
    int function(qint32 call) const { return calls_[size_t(call)].function; }
    QString functionName(int function) const { return functions_.value(function).name; }
    QStringList parameters(int function) const { return functions_.value(function).parameters; }
    // The call's arguments, as the window writes them, in the order of the parameters.
    QStringList arguments(qint32 call) const;
    // What the call returned, as the window writes it; empty for None.
    QString result(qint32 call) const;
    // The call's arguments as recorded, one byte of length and the UTF-8 of each.
    QByteArrayView argumentBytes(qint32 call) const;
    // "ris(x = 130; y = 100; r = 20)"
    QString callText(qint32 call) const;
    // The value a line event's line gave its local ("141,42"); empty for none.
    QString assigned(qsizetype lineEvent) const;

    // The events, in order; each belongs to a call, or to the top level (-1).
    qsizetype events() const { return qsizetype(events_.size()); }
    Event event(qsizetype at) const { return Event(events_[size_t(at)] >> payloadBits); }
    // A line's number; an output's place among the shapes or printed texts.
    quint32 payload(qsizetype at) const { return events_[size_t(at)] & payloadMask; }
    qint32 callAt(qsizetype at) const;
    // How many calls were made before this event.
    qint32 callsBefore(qsizetype at) const;
    // The call's own call and return events.
    qsizetype callEvent(qint32 call) const { return calls_[size_t(call)].firstEvent; }
    qsizetype returnEvent(qint32 call) const { return calls_[size_t(call)].lastEvent; }

    // Whether an output event drew a shape or printed a line.
    bool printedAt(qsizetype at) const { return payload(at) & printedBit; }
    // An output event's place among the shapes or among the printed lines.
    qsizetype outputAt(qsizetype at) const { return payload(at) & ~printedBit; }

    const LargeVector<Shape> &shapes() const { return shapes_; }
    const QStringList &printed() const { return printed_; }
    // The shapes and printed lines the events up to this one made, this one included.
    struct Outputs
    {
        qsizetype shapes = 0;
        qsizetype printed = 0;
    };
    Outputs outputsUpTo(qsizetype at) const;
    // The steps: each a run of outputs one call made, the shapes and printed lines made by
    // the end of each. Outputs at the top level belong to the step before them.
    const LargeVector<Outputs> &stepEnds() const { return stepEnds_; }
    const std::optional<Failure> &failure() const { return failure_; }
    QString guard() const { return guard_; }
    bool damaged() const { return damaged_; }
    // How many calls are running while the record is read.
    int depth() const { return int(running.size()); }
    // The memory the record holds, in bytes.
    qsizetype bytes() const;

private:
    struct Function
    {
        QString name;
        QStringList parameters;
    };
    struct Call
    {
        quint32 firstEvent;
        quint32 lastEvent; // its return, or the run's end for a call cut short
        quint32 arguments; // where its arguments start among the values
        quint32 result;    // where its value starts, or noResult
        quint16 function;
    };
    static constexpr int payloadBits = 29;
    static constexpr quint32 payloadMask = (1u << payloadBits) - 1;
    static constexpr quint32 noResult = ~0u;
    static constexpr quint32 printedBit = 1u << (payloadBits - 1);
    void add(Event event, quint32 payload);
    void output(quint32 payload);
    quint32 keepValue(QByteArrayView value);
    QString valueAt(quint32 at) const;

    QString code_;
    QList<Function> functions_;
    CallTrace trace_;
    LargeVector<Call> calls_;
    LargeVector<quint32> events_;
    LargeVector<char> values_; // each value one byte of length and its UTF-8
    LargeVector<Shape> shapes_;
    QStringList printed_;
    LargeVector<Outputs> stepEnds_;
    std::optional<Failure> failure_;
    QString guard_;
    bool damaged_ = false;
    // While building: the calls running, innermost last, and a top-level line waiting to
    // be kept if it calls one of the code's functions.
    std::vector<qint32> running;
    std::vector<quint32> runningLines; // each running call's last line event, or noLine
    static constexpr quint32 noLine = ~0u;
    // The line events that gave a local a value, in order, with where the value starts.
    LargeVector<std::pair<quint32, quint32>> assigned_;
    int topLine = 0;
};
