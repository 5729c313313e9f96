#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

// Colours Python code: its keywords, numbers, strings (a triple-quoted one across
// lines too) and comments. A '#' within a string and quotes within a comment are
// just characters there.
class PythonHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    enum Part { Keyword, Number, String, Comment };

    explicit PythonHighlighter(QTextDocument *document);

    static QTextCharFormat format(Part part);

protected:
    void highlightBlock(const QString &text) override;

private:
    // The block states: where a block ends within a triple-quoted string.
    enum State { Code = 0, InSingleQuotes = 1, InDoubleQuotes = 2 };

    qsizetype stringEnd(const QString &text, qsizetype from, const QString &closing);
};
