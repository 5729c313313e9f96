#include "calltrace.h"

#include <QLocale>

#include <algorithm>

QString russianNumber(double value)
{
    static const QLocale russian = [] {
        QLocale locale(QLocale::Russian);
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale;
    }();
    QString text = russian.toString(value, 'f', 2);
    while (text.endsWith(u'0') && text.contains(u','))
        text.chop(1);
    if (text.endsWith(u','))
        text.chop(1);
    return text == u"-0" ? QStringLiteral("0") : text;
}

void CallTrace::enter(QStringView signature, int depth, float a, float b, float c)
{
    if (calls_.empty()) {
        const qsizetype open = signature.indexOf(u'(');
        procedure = signature.first(open).toString();
        argumentNames = signature.sliced(open + 1).chopped(1).toString().split(u", "_qs);
    }
    arguments_.push_back({a, b, c});
    enter(depth);
}

void CallTrace::enter(int depth)
{
    const auto call = qint32(calls_.size());
    const auto level = size_t(depth - 1);
    waiting.resize(level + 1);
    lastAtDepth.resize(std::max(lastAtDepth.size(), level + 1), -1);
    const qint32 parent = level > 0 ? waiting[level - 1] : -1;
    const qint32 previous = lastAtDepth[level];
    if (previous >= 0 && calls_[size_t(previous)].parent == parent)
        calls_[size_t(previous)].next = call;
    calls_.push_back({parent, -1});
    waiting[level] = call;
    lastAtDepth[level] = call;
}

void CallTrace::drew(qint32 call, qint32 newest)
{
    if (!steps_.empty() && steps_.back() == call)
        return;
    steps_.push_back(call);
    newestAtStep.push_back(newest);
    drewCall.resize(calls_.size());
    drewCall[size_t(call)] = true;
}

void CallTrace::restart()
{
    calls_.clear();
    arguments_.clear();
    steps_.clear();
    newestAtStep.clear();
    drewCall.clear();
    waiting.clear();
    lastAtDepth.clear();
    names_ = {};
}

void CallTrace::reserve(qsizetype calls, qsizetype steps)
{
    calls_.reserve(size_t(calls));
    arguments_.reserve(size_t(calls));
    steps_.reserve(size_t(steps));
}

void CallTrace::clear()
{
    *this = CallTrace();
}

// A built-in procedure draws before it calls: its steps come in the order of their calls.
qsizetype CallTrace::stepsUpTo(qint32 call) const
{
    const LargeVector<qint32> &newest = newestAtStep.empty() ? steps_ : newestAtStep;
    return std::upper_bound(newest.begin(), newest.end(), call) - newest.begin();
}

bool CallTrace::drewAnything(qint32 call) const
{
    if (newestAtStep.empty())
        return std::binary_search(steps_.begin(), steps_.end(), call);
    return size_t(call) < drewCall.size() && drewCall[size_t(call)];
}

qint32 CallTrace::firstChild(qint32 call) const
{
    const qint32 next = call + 1;
    return next < calls() && parent(next) == call ? next : -1;
}

int CallTrace::childRow(qint32 call) const
{
    int row = 0;
    const qint32 up = parent(call);
    for (qint32 sibling = up < 0 ? 0 : firstChild(up); sibling != call;
         sibling = nextSibling(sibling))
        ++row;
    return row;
}

int CallTrace::childCount(qint32 call) const
{
    int count = 0;
    for (qint32 child = firstChild(call); child >= 0; child = nextSibling(child))
        ++count;
    return count;
}

qint32 CallTrace::subtreeEnd(qint32 call) const
{
    for (qint32 up = call; up >= 0; up = parent(up))
        if (nextSibling(up) >= 0)
            return nextSibling(up);
    return calls();
}

QList<qint32> CallTrace::path(qint32 call) const
{
    QList<qint32> calls;
    for (qint32 c = call; c >= 0; c = parent(c))
        calls.prepend(c);
    return calls;
}

QList<double> CallTrace::arguments(qint32 call) const
{
    QList<double> values;
    if (size_t(call) < arguments_.size())
        for (qsizetype i = 0; i < argumentNames.size(); ++i)
            values << arguments_[size_t(call)][size_t(i)];
    return values;
}

QString CallTrace::text(qint32 call) const
{
    if (names_.text)
        return names_.text(call);
    QStringList arguments;
    for (qsizetype i = 0; i < argumentNames.size(); ++i)
        arguments << argumentNames[i] + u" = "_qs
                        + russianNumber(arguments_[size_t(call)][size_t(i)]);
    return procedure + u'(' + arguments.join(u"; "_qs) + u')';
}

QString CallTrace::values(qint32 call) const
{
    if (names_.values)
        return names_.values(call);
    QStringList values;
    for (double value : arguments(call))
        values << russianNumber(value);
    return values.join(u"; "_qs);
}

QString CallTrace::treeText(qint32 call) const
{
    if (names_.inTree)
        return names_.inTree(call);
    return drewAnything(call) ? text(call) : text(call) + u" — остановка"_qs;
}

// The built-in procedures' calls compare by their arguments, the class's own by their text.
bool CallTrace::sameCall(qint32 a, qint32 b) const
{
    if (names_.key)
        return names_.key(a) == names_.key(b);
    if (names_.text)
        return names_.text(a) == names_.text(b);
    return arguments_[size_t(a)] == arguments_[size_t(b)];
}

size_t CallTrace::callHash(qint32 call) const
{
    if (names_.key) {
        const auto [procedure, arguments] = names_.key(call);
        return qHashMulti(0, procedure, arguments);
    }
    if (names_.text)
        return qHash(names_.text(call));
    const auto &values = arguments_[size_t(call)];
    return qHashMulti(0, values[0], values[1], values[2]);
}

qsizetype CallTrace::bytes() const
{
    return qsizetype(calls_.capacity()) * qsizetype(sizeof(Call))
            + qsizetype(arguments_.capacity()) * qsizetype(sizeof(arguments_[0]))
            + qsizetype(steps_.capacity() + newestAtStep.capacity()) * qsizetype(sizeof(qint32))
            + qsizetype(drewCall.capacity() / 8);
}
