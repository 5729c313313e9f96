#pragma once

#include <QPlainTextEdit>

// A plain text editor for Python: the lines numbered in a margin, the current line
// marked, Tab as four spaces, Enter keeping the indent and adding four after a ':'.
class CodeEditor : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int indentWidth = 4;

    explicit CodeEditor(QWidget *parent = nullptr);

    // The fixed-width font at a scale in percent.
    void setPercent(int percent);
    // Marks the line (counted from 1) and puts the cursor at its start; 0 clears the mark, and
    // so does any edit of the text.
    void markLine(int line);
    int markedLine() const { return marked; }

    // The margin, painted and sized by the editor: the numbers it shows within an area of
    // it, each where its line stands, the first line's number 1 as in Python's messages.
    int lineNumberWidth() const;
    QList<std::pair<QRect, int>> lineNumbers(const QRect &area) const;
    void paintLineNumbers(QPaintEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateMargin();
    void updateMarginArea(const QRect &rect, int dy);
    void updateLineColours();
    void newLine();
    void insertIndent();
    bool removeIndent(bool toPreviousStop);

    QWidget *margin;
    int marked = 0;
};
