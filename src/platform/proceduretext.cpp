#include "proceduretext.h"

#include "calltrace.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// The lines that only count a call for the label and the calls window: they are
// no part of the procedure as the lesson reads it.
bool onlyCounts(QStringView line)
{
    return line.contains(u"counter.enter(") || line.trimmed().startsWith(u"beginCall(");
}

// Where the program's sources are built in.
const QString sources = QStringLiteral(":/procedures");

const QRegularExpression definitionStart(QStringLiteral(R"(^\w[\w\s&*:<>]*?(\w+::)?(\w+)\()"));
const QRegularExpression comparison(QStringLiteral(R"(^(\S+) (<=|>=|==|!=|<|>) (\S+)$)"));
const QRegularExpression assignedName(QStringLiteral(R"((\w+) = [^=])"));

QString point(double x, double y)
{
    return u'(' + russianNumber(x) + u"; "_qs + russianNumber(y) + u')';
}

} // namespace

ProcedureText ProcedureText::cut(QStringView source, QStringView name)
{
    const QList<QStringView> lines = source.split(u'\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const auto match = definitionStart.match(lines[i]);
        if (!match.hasMatch() || match.capturedView(2) != name || lines[i].endsWith(u';')
            || lines[i + 1] != u"{")
            continue;
        ProcedureText text;
        text.name_ = name.toString();
        text.lines_ << lines[i].toString().remove(match.capturedStart(1), match.capturedLength(1));
        for (qsizetype j = i + 1; j < lines.size(); ++j) {
            if (!onlyCounts(lines[j]))
                text.lines_ << lines[j].toString();
            if (lines[j] == u"}")
                break;
        }
        const QString signature = text.lines_.first();
        const qsizetype open = signature.indexOf(u'(');
        for (const QString &parameter :
             signature.sliced(open + 1).chopped(1).split(u", "_qs, Qt::SkipEmptyParts))
            text.parameters_ << parameter.section(u' ', -1).remove(u'&').remove(u'*');
        text.classify();
        return text;
    }
    return {};
}

// Which line tests, draws, writes, calls, computes or returns, and the lines the
// test holding runs.
void ProcedureText::classify()
{
    for (int i = 0; i < lines_.size(); ++i) {
        const QString line = lines_[i].trimmed();
        Kind kind = Statement;
        if (i == 0)
            kind = Signature;
        else if (i + 1 == lines_.size())
            kind = End;
        else if (line == u"{" || line == u"}" || line.isEmpty())
            kind = Brace;
        else if (line.startsWith(u"//"))
            kind = Comment;
        else if (line.startsWith(u"if ("))
            kind = Test;
        else if (line.startsWith(u"return"))
            kind = Return;
        else if (line.startsWith(name_ + u'('))
            kind = Call;
        else if (line.contains(u".DrawLine(") || line.contains(u".DrawCircle("))
            kind = Draw;
        else if (line.contains(u"Text1")) // the verse box
            kind = Write;
        else if (assignedName.match(line).hasMatch())
            kind = Compute;
        kinds << kind;
        if (kind == Test && test == 0) {
            test = i + 1;
            stoppingFirst = test + 1;
            stoppingLast = stoppingFirst;
            if (line.endsWith(u'{')) { // up to the brace closing it, as indented as the test
                const QString closing = lines_[i].section(u'i', 0, 0) + u'}';
                while (stoppingLast < lines_.size() && lines_[stoppingLast] != closing)
                    ++stoppingLast;
                goingOn = stoppingLast + 2;
            } else {
                goingOn = stoppingLast + 1;
            }
        }
    }
}

QList<ProcedureText> ProcedureText::all()
{
    QList<ProcedureText> procedures;
    const QStringList files = QDir(sources).entryList(QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(sources + u'/' + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString source = QString::fromUtf8(file.readAll());
        const QList<QStringView> lines = QStringView(source).split(u'\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const auto match = definitionStart.match(lines[i]);
            if (!match.hasMatch() || lines[i + 1] != u"{")
                continue;
            for (qsizetype j = i + 2; j < lines.size() && lines[j] != u"}"; ++j)
                if (onlyCounts(lines[j])) {
                    procedures << cut(source, match.capturedView(2));
                    break;
                }
        }
    }
    return procedures;
}

ProcedureText ProcedureText::plain(const QString &name, const QString &code)
{
    ProcedureText text;
    text.name_ = name;
    text.lines_ = code.split(u'\n');
    text.kinds.fill(Statement, text.lines_.size());
    return text;
}

const ProcedureText &ProcedureText::named(const QString &name)
{
    static const QHash<QString, ProcedureText> procedures = [] {
        QHash<QString, ProcedureText> byName;
        for (const ProcedureText &text : all())
            byName.insert(text.name(), text);
        return byName;
    }();
    static const ProcedureText none;
    const auto found = procedures.constFind(name);
    return found == procedures.cend() ? none : *found;
}

QList<int> ProcedureText::linesOf(Kind kind) const
{
    QList<int> numbers;
    for (int i = 0; i < kinds.size(); ++i)
        if (kinds[i] == kind)
            numbers << i + 1;
    return numbers;
}

QList<int> ProcedureText::branch(bool stopped) const
{
    QList<int> numbers;
    for (int n = stopped ? stoppingFirst : goingOn; n <= (stopped ? stoppingLast : lineCount());
         ++n)
        numbers << n;
    return numbers;
}

QList<int> ProcedureText::callLevelLines(bool stopped) const
{
    QList<int> drawing, returning;
    for (int n : branch(stopped)) {
        if (kind(n) == Draw || kind(n) == Write)
            drawing << n;
        else if (kind(n) == Return || kind(n) == End)
            returning << n;
    }
    return drawing.isEmpty() ? returning.mid(0, 1) : drawing;
}

// Reads "r < 10" with the arguments in place of the parameters.
bool ProcedureText::stops(const QList<double> &arguments) const
{
    const QString condition = line(test).trimmed().section(u'(', 1).section(u')', 0, -2);
    const auto match = comparison.match(condition);
    if (!match.hasMatch())
        return false;
    const auto value = [&](const QString &operand) {
        const qsizetype parameter = parameters_.indexOf(operand);
        return parameter >= 0 ? arguments.value(parameter) : operand.toDouble();
    };
    const double left = value(match.captured(1)), right = value(match.captured(3));
    const QString op = match.captured(2);
    if (op == u"<")
        return left < right;
    if (op == u"<=")
        return left <= right;
    if (op == u">")
        return left > right;
    if (op == u">=")
        return left >= right;
    return op == u"==" ? left == right : left != right;
}

QString ProcedureText::explainTest(const CallFacts &facts) const
{
    const QString condition = line(test).trimmed().section(u'(', 1).section(u')', 0, -2);
    QString values = condition;
    for (qsizetype i = 0; i < parameters_.size(); ++i)
        values.replace(QRegularExpression(u"\\b"_qs + parameters_[i] + u"\\b"_qs),
                       russianNumber(facts.arguments.value(i)));
    return u"Проверка "_qs + condition + u": "_qs + values
            + (stops(facts.arguments) ? u" — да"_qs : u" — нет"_qs);
}

int ProcedureText::placeAmong(int number) const
{
    const bool stopping = number >= stoppingFirst && number <= stoppingLast;
    int place = 0;
    for (int n = 1; n < number; ++n)
        if (kind(n) == kind(number) && (n >= stoppingFirst && n <= stoppingLast) == stopping)
            ++place;
    return place;
}

QString ProcedureText::explain(int number, const CallFacts &facts) const
{
    const QString code = line(number).trimmed();
    QString what;
    switch (kind(number)) {
    case Signature:
        what = u"Начало процедуры "_qs + name_ + u", её параметры: "_qs
                + parameters_.join(u", "_qs);
        break;
    case Brace:
        what = u"Скобка, ничего не делает"_qs;
        break;
    case Comment:
        what = u"Комментарий, ничего не делает"_qs;
        break;
    case Test:
        what = explainTest(facts);
        break;
    case Return:
    case End:
        what = u"Возврат: "_qs + facts.call + u" закончен"_qs;
        break;
    case Draw: {
        const qsizetype place = placeAmong(number);
        if (place >= facts.shapes.size()) {
            what = u"Рисование"_qs;
            break;
        }
        const DrawnShape &s = facts.shapes[place];
        what = s.kind == DrawnShape::Circle
                ? u"Окружность: центр "_qs + point(s.a, s.b) + u", радиус "_qs + russianNumber(s.c)
                : u"Линия: от "_qs + point(s.a, s.b) + u" до "_qs + point(s.c, s.d);
        break;
    }
    case Write: {
        const QString written = facts.written.value(placeAmong(number));
        what = written.isEmpty() ? u"Пустая строка"_qs : u"Строка стихов: «"_qs + written + u'»';
        break;
    }
    case Call:
        what = u"Рекурсивный вызов %1 из %2: "_qs.arg(placeAmong(number) + 1)
                        .arg(linesOf(Call).size())
                + facts.calls.value(placeAmong(number), name_);
        break;
    case Compute: {
        const QString name = assignedName.match(code).captured(1);
        what = facts.values.contains(name)
                ? u"Вычисление: "_qs + name + u" = "_qs + russianNumber(facts.values[name])
                : u"Вычисление значения "_qs + name;
        break;
    }
    case Statement:
        what = u"Действие: "_qs + code.chopped(code.endsWith(u';') ? 1 : 0);
        break;
    }
    return u"Строка %1. "_qs.arg(number) + what;
}
