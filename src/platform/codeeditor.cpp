#include "codeeditor.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>

namespace {

const QColor currentLineColour(255, 250, 205);
const QColor markedLineColour(255, 205, 205);
constexpr int marginPadding = 4;

// The margin left of the text, where the line numbers stand.
class LineNumberMargin : public QWidget
{
public:
    explicit LineNumberMargin(CodeEditor *editor) : QWidget(editor), editor(editor) { }
    QSize sizeHint() const override { return {editor->lineNumberWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { editor->paintLineNumbers(event); }

private:
    CodeEditor *editor;
};

int leadingSpaces(QStringView text)
{
    int spaces = 0;
    while (spaces < text.size() && text[spaces] == u' ')
        ++spaces;
    return spaces;
}

// Whether the code ends in ':' once a comment at its end is dropped; a '#' within
// a string starts no comment.
bool opensBlock(QStringView code)
{
    QChar quote;
    qsizetype end = code.size();
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'#') {
            end = i;
            break;
        }
    }
    return code.first(end).trimmed().endsWith(u':');
}

} // namespace

CodeEditor::CodeEditor(QWidget *parent) : QPlainTextEdit(parent), margin(new LineNumberMargin(this))
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEditor::updateMargin);
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::updateMarginArea);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CodeEditor::updateLineColours);
    // The mark tells of the code as it was run: an edit makes it stale.
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (marked > 0 && (removed > 0 || added > 0)) {
            marked = 0;
            updateLineColours();
        }
    });
    setPercent(100);
    updateLineColours();
}

void CodeEditor::setPercent(int percent)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * percent / 100);
    else
        font.setPixelSize(font.pixelSize() * percent / 100);
    setFont(font);
    setTabStopDistance(fontMetrics().horizontalAdvance(u' ') * indentWidth);
    updateMargin();
}

int CodeEditor::lineNumberWidth() const
{
    const int digits = std::max(2, int(QString::number(blockCount()).size()));
    return 2 * marginPadding + fontMetrics().horizontalAdvance(u'9') * digits;
}

void CodeEditor::updateMargin()
{
    setViewportMargins(lineNumberWidth(), 0, 0, 0);
    const QRect inside = contentsRect();
    margin->setGeometry(inside.left(), inside.top(), lineNumberWidth(), inside.height());
    margin->update();
}

void CodeEditor::updateMarginArea(const QRect &rect, int dy)
{
    if (dy)
        margin->scroll(0, dy);
    else
        margin->update(0, rect.y(), margin->width(), rect.height());
}

void CodeEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    updateMargin();
}

QList<std::pair<QRect, int>> CodeEditor::lineNumbers(const QRect &area) const
{
    QList<std::pair<QRect, int>> numbers;
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= area.bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= area.top())
            numbers.append({QRect(0, top, margin->width() - marginPadding, fontMetrics().height()),
                            block.blockNumber() + 1});
        block = block.next();
        top = bottom;
    }
    return numbers;
}

void CodeEditor::paintLineNumbers(QPaintEvent *event)
{
    QPainter painter(margin);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    for (const auto &[rect, number] : lineNumbers(event->rect()))
        painter.drawText(rect, Qt::AlignRight, QString::number(number));
}

void CodeEditor::markLine(int line)
{
    marked = line;
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        setTextCursor(QTextCursor(block));
        ensureCursorVisible();
    }
    updateLineColours();
}

// The current line in a light yellow, the marked one in a light red over it.
void CodeEditor::updateLineColours()
{
    QList<QTextEdit::ExtraSelection> lines;
    const auto addLine = [&lines](const QTextCursor &at, const QColor &colour) {
        QTextEdit::ExtraSelection line;
        line.format.setBackground(colour);
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = at;
        line.cursor.clearSelection();
        lines << line;
    };
    if (!isReadOnly())
        addLine(textCursor(), currentLineColour);
    const QTextBlock block = document()->findBlockByNumber(marked - 1);
    if (marked > 0 && block.isValid())
        addLine(QTextCursor(block), markedLineColour);
    setExtraSelections(lines);
}

void CodeEditor::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    // Shift+Enter too: a line break within a line would number the lines unlike Python.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(modifiers & ~Qt::ShiftModifier))
        newLine();
    else if (key == Qt::Key_Tab && modifiers == Qt::NoModifier)
        insertIndent();
    else if (key == Qt::Key_Backtab)
        removeIndent(false);
    else if (!(key == Qt::Key_Backspace && modifiers == Qt::NoModifier && removeIndent(true)))
        QPlainTextEdit::keyPressEvent(event);
}

// A new line as indented as the one the cursor is in, and one step more after a ':'.
void CodeEditor::newLine()
{
    QTextCursor cursor = textCursor();
    const QString before = cursor.block().text().left(cursor.positionInBlock());
    int indent = leadingSpaces(before);
    if (opensBlock(before))
        indent += indentWidth;
    cursor.insertText(u'\n' + QString(indent, u' '));
    setTextCursor(cursor);
    ensureCursorVisible();
}

// Spaces up to the next indent stop; with lines selected, each of them one step further in.
void CodeEditor::insertIndent()
{
    QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    if (first == last) {
        cursor.insertText(QString(indentWidth - cursor.positionInBlock() % indentWidth, u' '));
        setTextCursor(cursor);
        return;
    }
    cursor.beginEditBlock();
    for (QTextBlock block = first; block.isValid() && block != last.next(); block = block.next())
        QTextCursor(block).insertText(QString(indentWidth, u' '));
    cursor.endEditBlock();
}

// Backspace (toPreviousStop) within the indent removes spaces back to the previous stop and
// returns true. Shift+Tab takes up to a step of spaces from the start of each line selected.
bool CodeEditor::removeIndent(bool toPreviousStop)
{
    QTextCursor cursor = textCursor();
    if (toPreviousStop) {
        const int column = cursor.positionInBlock();
        if (cursor.hasSelection() || column == 0 || leadingSpaces(cursor.block().text()) < column)
            return false;
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor,
                            (column - 1) % indentWidth + 1);
        cursor.removeSelectedText();
        return true;
    }
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    for (QTextBlock block = first; block.isValid() && block != last.next(); block = block.next()) {
        QTextCursor start(block);
        start.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor,
                           std::min(indentWidth, leadingSpaces(block.text())));
        start.removeSelectedText();
    }
    cursor.endEditBlock();
    return true;
}
