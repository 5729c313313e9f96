#include "verse.h"

namespace {

constexpr QStringView lineBreak = u"\r\n";
constexpr QStringView wentSwimming = u" негритят пошли купаться в море,";
constexpr QStringView frolicked = u" негритят резвились на просторе,";
constexpr QStringView oneWasLost = u"Один из них пропал и вот вам результат:";
constexpr QStringView noneLeft = u"Нет больше негритят!";

// The helpers below stay out of line: their temporaries then live only while
// they run, not in each of the up to 32768 nested calls of negr.
Q_NEVER_INLINE void beginCall(Verses &box, qint16 n)
{
    box.callStarts.append(box.text.size());
    if (box.calls) { // every call writes
        box.calls->enter(u"negr(n)", int(box.callStarts.size()), n);
        box.calls->drew();
    }
}

Q_NEVER_INLINE void append(Verses &box, QStringView text)
{
    box.text.append(text);
}

Q_NEVER_INLINE void appendLine(Verses &box, QStringView line)
{
    box.text.append(line).append(lineBreak);
}

Q_NEVER_INLINE void appendCountLine(Verses &box, qint16 n, QStringView rest)
{
    box.text.append(countText(n)).append(rest).append(lineBreak);
}

} // namespace

QString countText(qint16 n)
{
    return n < 0 ? QString::number(n) : u' ' + QString::number(n);
}

void negr(short n, Verses &Text1)
{
    beginCall(Text1, n);
    if (n == 0) {
        append(Text1, noneLeft);
        return;
    }
    appendCountLine(Text1, n, wentSwimming);
    appendCountLine(Text1, n, frolicked);
    appendLine(Text1, oneWasLost);
    appendLine(Text1, {});
    negr(short(n - 1), Text1);
}
