#include "procedurepart.h"

#include "proceduretext.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// "12  Ris1(x + r, y, r / 1.5);", the numbers right-aligned.
QString numbered(const ProcedureText &procedure)
{
    QStringList lines;
    for (int n = 1; n <= procedure.lineCount(); ++n)
        lines << u"%1  "_qs.arg(n, 2) + procedure.line(n);
    return lines.join(u'\n');
}

} // namespace

ProcedurePart::ProcedurePart(QWidget *parent)
    : QWidget(parent), text(new QPlainTextEdit(this)), explanation(new QLabel(this))
{
    const QString name = QStringLiteral("Текст процедуры");
    text->setAccessibleName(name);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    explanation->setWordWrap(true);
    reserveExplanation();
    explanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setPercent(100);

    auto *caption = new QLabel(name);
    caption->setBuddy(text);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins({});
    layout->addWidget(caption);
    layout->addWidget(text, 1);
    layout->addWidget(explanation);
    clear();
}

void ProcedurePart::setPercent(int percent)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (percent != 100)
        font.setPointSizeF(font.pointSizeF() * percent / 100);
    text->setFont(font);
    // Every line of the longest procedure shows whole, without scrolling: measured in
    // fractional pixels, as the text lays its lines out, with half a character to spare, so
    // that a rounding never brings a scroll bar that hides a line.
    double width = 0, height = 0;
    const QFontMetricsF metrics(font);
    for (const ProcedureText &procedure : ProcedureText::all()) {
        for (const QString &line : numbered(procedure).split(u'\n'))
            width = std::max(width, metrics.horizontalAdvance(line));
        height = std::max(height, procedure.lineCount() * metrics.lineSpacing());
    }
    const int margins = 2 * (text->frameWidth() + int(text->document()->documentMargin())) + 4;
    text->setMinimumSize(int(std::ceil(width + metrics.averageCharWidth() / 2)) + margins,
                         int(std::ceil(height)) + margins);
}

void ProcedurePart::showLines(const ProcedureText &procedure, const QList<int> &highlight,
                              const QString &explained)
{
    if (shown != procedure.name()) {
        shown = procedure.name();
        text->setPlainText(numbered(procedure));
    }
    lines = highlight;
    QList<QTextEdit::ExtraSelection> marks;
    for (int n : lines) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(text->document()->findBlockByNumber(n - 1));
        mark.format.setBackground(palette().highlight());
        mark.format.setForeground(palette().highlightedText());
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << mark;
    }
    text->setExtraSelections(marks);
    if (!lines.isEmpty()) {
        text->setTextCursor(marks.first().cursor);
        text->ensureCursorVisible();
    }
    explanation->setText(explained);
    explanation->setAccessibleName(explained);
}

// Two lines kept for the explanation, so that a long one neither covers the text nor
// makes the text jump as the steps go.
void ProcedurePart::reserveExplanation()
{
    // The part's own font: the explanation may be told of a new one only after the part.
    explanation->setMinimumHeight(2 * fontMetrics().lineSpacing());
}

void ProcedurePart::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        reserveExplanation();
    QWidget::changeEvent(event);
}

void ProcedurePart::clear()
{
    shown.clear();
    text->clear();
    showLines({}, {}, {});
}
