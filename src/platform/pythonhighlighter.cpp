#include "pythonhighlighter.h"

#include <QRegularExpression>
#include <QSet>

namespace {

const QSet<QString> keywords{u"False"_qs,    u"None"_qs,    u"True"_qs,  u"and"_qs,   u"as"_qs,
                             u"assert"_qs,   u"async"_qs,   u"await"_qs, u"break"_qs, u"class"_qs,
                             u"continue"_qs, u"def"_qs,     u"del"_qs,   u"elif"_qs,  u"else"_qs,
                             u"except"_qs,   u"finally"_qs, u"for"_qs,   u"from"_qs,  u"global"_qs,
                             u"if"_qs,       u"import"_qs,  u"in"_qs,    u"is"_qs,    u"lambda"_qs,
                             u"nonlocal"_qs, u"not"_qs,     u"or"_qs,    u"pass"_qs,  u"raise"_qs,
                             u"return"_qs,   u"try"_qs,     u"while"_qs, u"with"_qs,  u"yield"_qs};

// Decimal, hexadecimal, octal and binary numbers, with a fraction, an exponent, an imaginary j.
const QRegularExpression number(
        uR"(0[xXoObB][0-9a-fA-F_]+|(\d[\d_]*\.?[\d_]*|\.\d[\d_]*)([eE][+-]?\d[\d_]*)?[jJ]?)"_qs);

bool startsWord(QChar c)
{
    return c.isLetter() || c == u'_';
}

} // namespace

PythonHighlighter::PythonHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) { }

QTextCharFormat PythonHighlighter::format(Part part)
{
    QTextCharFormat format;
    switch (part) {
    case Keyword:
        format.setForeground(QColor(0, 0, 160));
        format.setFontWeight(QFont::Bold);
        break;
    case Number:
        format.setForeground(QColor(150, 0, 150));
        break;
    case String:
        format.setForeground(QColor(0, 120, 0));
        break;
    case Comment:
        format.setForeground(QColor(120, 120, 120));
        format.setFontItalic(true);
        break;
    }
    return format;
}

// Reads the line from left to right, so that whichever of a string and a comment
// starts first takes the rest of it.
void PythonHighlighter::highlightBlock(const QString &text)
{
    const qsizetype size = text.size();
    qsizetype at = 0;
    setCurrentBlockState(Code);
    if (previousBlockState() == InSingleQuotes || previousBlockState() == InDoubleQuotes) {
        at = stringEnd(text, 0, QString(3, previousBlockState() == InSingleQuotes ? u'\'' : u'"'));
        setFormat(0, int(at), format(String));
    }
    while (at < size && currentBlockState() == Code) {
        const QChar c = text[at];
        qsizetype end = at + 1;
        if (c == u'#') {
            end = size;
            setFormat(int(at), int(end - at), format(Comment));
        } else if (c == u'\'' || c == u'"') {
            const QString triple(3, c);
            const bool tripled = QStringView(text).sliced(at).startsWith(triple);
            end = stringEnd(text, at + (tripled ? 3 : 1), tripled ? triple : QString(c));
            setFormat(int(at), int(end - at), format(String));
        } else if (startsWord(c)) {
            while (end < size && (startsWord(text[end]) || text[end].isDigit()))
                ++end;
            if (keywords.contains(text.sliced(at, end - at)))
                setFormat(int(at), int(end - at), format(Keyword));
        } else if (c.isDigit() || (c == u'.' && at + 1 < size && text[at + 1].isDigit())) {
            const QRegularExpressionMatch match
                    = number.match(text, at, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
            end = at + std::max<qsizetype>(1, match.capturedLength());
            setFormat(int(at), int(end - at), format(Number));
        }
        at = end;
    }
}

// Where the string whose text starts at from ends: past the closing quotes, or at the
// line's end. A triple-quoted string still open there sets the block state that says
// which quotes close it.
qsizetype PythonHighlighter::stringEnd(const QString &text, qsizetype from, const QString &closing)
{
    for (qsizetype at = from; at < text.size(); ++at) {
        if (text[at] == u'\\')
            ++at;
        else if (QStringView(text).sliced(at).startsWith(closing))
            return at + closing.size();
    }
    if (closing.size() == 3)
        setCurrentBlockState(closing[0] == u'\'' ? InSingleQuotes : InDoubleQuotes);
    return text.size();
}
