#include "codeeditor.h"
#include "ownwindow.h"
#include "pythonhighlighter.h"
#include "windowtest.h"

#include <QTextBlock>

namespace {

QColor colourAt(const QTextBlock &block, int column)
{
    for (const QTextLayout::FormatRange &range : block.layout()->formats())
        if (range.start <= column && column < range.start + range.length)
            return range.format.foreground().color();
    return {};
}

// clang-format off
// The text with the cursor at '|' (and the selection's other end at '^'), the keys pressed,
// the text after them.
struct KeysCase { QString before; QList<QKeyCombination> keys; QString after; };
// A word in the line, and the part it is coloured as (-1: none).
struct ColourCase { QString line; QString word; int part; };
// clang-format on

} // namespace

// The code editor of "Своя процедура": its keys, its colours, its line numbers and marks.
class TestOwnEditor : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        main.emplace();
        main->setGeometry(0, 100, 300, 300);
        window = new OwnProcedureWindow(u"Рисовать"_qs, figureExamples(), &*main);
    }
    void cleanup() { main.reset(); }

    void editorKeys()
    {
        // clang-format off
        const QList<KeysCase> cases{
                {u"|"_qs, {Qt::Key_Tab}, u"    |"_qs},
                {u"ab|"_qs, {Qt::Key_Tab}, u"ab  |"_qs},
                {u"def f(x):|"_qs, {Qt::Key_Return}, u"def f(x):\n    |"_qs},
                {u"    if x < 1:  # стоп|"_qs, {Qt::Key_Return}, u"    if x < 1:  # стоп\n        |"_qs},
                {u"if s == \"#\":  # да|"_qs, {Qt::Key_Enter}, u"if s == \"#\":  # да\n    |"_qs},
                {u"    return|"_qs, {Qt::SHIFT | Qt::Key_Return}, u"    return\n    |"_qs},
                {u"    s = 'a:'|"_qs, {Qt::Key_Return}, u"    s = 'a:'\n    |"_qs},
                {u"      |"_qs, {Qt::Key_Backspace}, u"    |"_qs},
                {u"        |"_qs, {Qt::Key_Backspace, Qt::Key_Backspace}, u"|"_qs},
                {u"  x|"_qs, {Qt::Key_Backspace}, u"  |"_qs},
                {u"        x|"_qs, {Qt::SHIFT | Qt::Key_Backtab}, u"    x|"_qs},
                {u"  x|"_qs, {Qt::SHIFT | Qt::Key_Backtab}, u"x|"_qs},
                {u"^a\nb\nc|"_qs, {Qt::Key_Tab}, u"    a\n    b\n    c|"_qs},
                {u"a\nb^b\nc|c\nd"_qs, {Qt::Key_Tab, Qt::Key_Tab}, u"a\n        bb\n        c|c\nd"_qs},
                {u"|a\nb\n^c"_qs, {Qt::Key_Tab}, u"    |a\n    b\n    c"_qs},
                {u"^    a\n      b\nc|"_qs, {Qt::SHIFT | Qt::Key_Backtab}, u"a\n  b\nc|"_qs},
        };
        // clang-format on
        for (const KeysCase &test : cases) {
            const QString text = QString(test.before).remove(u'|').remove(u'^');
            window->editor->setPlainText(text);
            QTextCursor cursor = window->editor->textCursor();
            const auto at = [&test](QChar mark, QChar other) {
                const qsizetype mine = test.before.indexOf(mark),
                                theirs = test.before.indexOf(other);
                return int(theirs >= 0 && theirs < mine ? mine - 1 : mine);
            };
            if (test.before.contains(u'^'))
                cursor.setPosition(at(u'^', u'|'));
            cursor.setPosition(at(u'|', u'^'),
                               test.before.contains(u'^') ? QTextCursor::KeepAnchor
                                                          : QTextCursor::MoveAnchor);
            window->editor->setTextCursor(cursor);
            for (QKeyCombination key : test.keys)
                QTest::keyClick(window->editor, key.key(), key.keyboardModifiers());
            QString after = window->code();
            after.insert(window->editor->textCursor().position(), u'|');
            QCOMPARE(after, test.after);
        }
    }

    void highlighter()
    {
        const QList<ColourCase> cases{
                {u"def ris(x):"_qs, u"def"_qs, PythonHighlighter::Keyword},
                {u"def ris(x):"_qs, u"ris"_qs, -1},
                {u"ifx = 0x1F + 1.5e3"_qs, u"ifx"_qs, -1},
                {u"ifx = 0x1F + 1.5e3"_qs, u"F"_qs, PythonHighlighter::Number},
                {u"ifx = 0x1F + 1.5e3"_qs, u"e3"_qs, PythonHighlighter::Number},
                {u"s = \"a # b\"  # 'c'"_qs, u"# b"_qs, PythonHighlighter::String},
                {u"s = \"a # b\"  # 'c'"_qs, u"'c'"_qs, PythonHighlighter::Comment},
                {u"t = '''начало  # нет"_qs, u"# нет"_qs, PythonHighlighter::String},
                {u"конец''' + 1"_qs, u"конец"_qs, PythonHighlighter::String},
                {u"конец''' + 1"_qs, u"1"_qs, PythonHighlighter::Number},
                {u"d = \"\"\"\"\"\" if 'it\\'s' else 2"_qs, u"if"_qs, PythonHighlighter::Keyword},
                {u"d = \"\"\"\"\"\" if 'it\\'s' else 2"_qs, u"s"_qs, PythonHighlighter::String},
                {u"d = \"\"\"\"\"\" if 'it\\'s' else 2"_qs, u"2"_qs, PythonHighlighter::Number},
                {u"    \"\"\"Рисует"_qs, u"Рисует"_qs, PythonHighlighter::String},
                {u"    круги, if # 1"_qs, u"круги, if # 1"_qs, PythonHighlighter::String},
                {u"    по 'горизонтали'.\"\"\""_qs, u"по 'горизонтали'."_qs,
                 PythonHighlighter::String},
                {u"    ris1(x, 20)"_qs, u"ris1"_qs, -1},
                {u"    ris1(x, 20)"_qs, u"20"_qs, PythonHighlighter::Number},
                {u"    ris1(x, 20)"_qs, u"x"_qs, -1},
        };
        QStringList lines;
        for (const ColourCase &test : cases)
            if (!lines.contains(test.line))
                lines << test.line;
        window->editor->setPlainText(lines.join(u'\n'));
        for (const ColourCase &test : cases) {
            const QTextBlock block
                    = window->editor->document()->findBlockByNumber(int(lines.indexOf(test.line)));
            const qsizetype at = test.line.indexOf(test.word);
            const auto part = PythonHighlighter::Part(test.part);
            const QColor expected = test.part < 0
                    ? QColor()
                    : PythonHighlighter::format(part).foreground().color();
            for (qsizetype column = at; column < at + test.word.size(); ++column)
                QVERIFY2(colourAt(block, int(column)) == expected, qPrintable(test.word));
        }
    }

    // The margin numbers the lines from 1, each beside its line: the line of "Строка N" marked
    // is N there. The mark shows on that line only, in its own colour, the cursor on it or not.
    void numbersAndMark()
    {
        CodeEditor *editor = window->editor;
        window->resize(400, 300);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QStringList lines;
        for (int n = 1; n <= 60; ++n)
            lines << u"circle(%1, 100, 5)"_qs.arg(n);
        editor->setPlainText(lines.join(u'\n'));
        // The number level with the cursor's line, to the pixel.
        const auto numberBeside = [editor] {
            const QRect line = editor->cursorRect();
            for (const auto &[rect, number] : editor->lineNumbers(editor->viewport()->rect()))
                if (qAbs(rect.top() - line.top()) <= 1 && rect.bottom() >= line.center().y())
                    return number;
            return 0;
        };
        const auto background = [editor](int line) {
            const QTextBlock block = editor->document()->findBlockByNumber(line - 1);
            const int y = editor->cursorRect(QTextCursor(block)).center().y();
            QImage shot(editor->viewport()->size(), QImage::Format_RGB32);
            editor->viewport()->render(&shot);
            return shot.pixelColor(shot.width() - 3, y);
        };
        editor->markLine(1);
        QCOMPARE(editor->lineNumbers(editor->viewport()->rect()).value(0).second, 1);
        QCOMPARE(numberBeside(), 1);
        QColor marked;
        for (int line : {3, 7, 45}) { // the last scrolled to, at the view's foot
            window->markLine(line);
            QCOMPARE(editor->textCursor().blockNumber() + 1, line);
            QCOMPARE(numberBeside(), line);
            QVERIFY(!marked.isValid() || background(line) == marked);
            marked = background(line);
            const QColor plain = background(line - 2);
            QVERIFY(marked != plain && background(line - 1) == plain);
            editor->moveCursor(QTextCursor::Up);
            const QColor current = background(line - 1);
            QVERIFY(current != plain && current != marked);
            QCOMPARE(background(line), marked);
        }
        // A key that edits the code takes the mark away; one that moves does not.
        QTest::keyClick(editor, Qt::Key_Home);
        QCOMPARE(editor->markedLine(), 45);
        QTest::keyClick(editor, Qt::Key_Space);
        QCOMPARE(editor->markedLine(), 0);
        QCOMPARE(background(45), background(43));
    }

private:
    std::optional<QWidget> main;
    OwnProcedureWindow *window = nullptr;
};

QTEST_MAIN(TestOwnEditor)
#include "tst_owneditor.moc"
