#pragma once

#include "ownrun.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads recursion-runner's record (runner/recordformat.h) into a run as the bytes come.
// The class's code shares its process with the trace that writes the record, so the
// record is read as any file from outside would be: every length, count, number and
// text is checked before it is used, and the first that cannot be right ends the
// reading as damaged, with the reason in Russian. The bytes held at any time stay
// within the record's limit.
class RecordReader
{
public:
    explicit RecordReader(OwnRun &run);

    // Reads the whole events among the bytes that came, keeping the rest for later.
    void take(QByteArrayView bytes);
    // The record's last event was read: the code's end, or its failure; or it is damaged.
    bool ended() const { return state != Reading; }
    bool damaged() const { return state == Damaged; }
    // Why the record is damaged: "событие неизвестного вида".
    QString damage() const { return why; }

    // The most the record may hold: the runner's limit and one event more.
    static constexpr qint64 maxBytes = 150'000'000 + (qint64(1) << 20);

private:
    enum State { Reading, Ended, Damaged };
    enum class Got { Event, Later, Wrong };

    Got readEvent(const char *&from, const char *end);
    Got getNumber(const char *&at, const char *end, quint32 &number);
    Got getText(const char *&at, const char *end, QString &text, quint32 maxBytes);
    Got getValue(const char *&at, const char *end, QByteArrayView &value);
    Got getLine(const char *&at, const char *end, int &line, bool noneAllowed);
    bool argumentsFit(QByteArrayView arguments, int function) const;
    Got wrong(const char *reason);

    OwnRun &run;
    QByteArray pending;
    qint64 received = 0;
    QList<int> functions; // the run's number of each function the record announced
    QList<int> parameterCounts;
    int lineCount;
    qint64 calls = 0;
    qint64 lines = 0;
    bool started = false;
    State state = Reading;
    QString why;
};
