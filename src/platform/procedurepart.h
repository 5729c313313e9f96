#pragma once

#include <QWidget>

class ProcedureText;
class QLabel;
class QPlainTextEdit;

// The part "Текст процедуры" of the calls window: the procedure that made the
// current call, its lines numbered, the lines the call is at highlighted, and one
// line under it that explains the first of them.
class ProcedurePart : public QWidget
{
    Q_OBJECT

public:
    explicit ProcedurePart(QWidget *parent = nullptr);

    void showLines(const ProcedureText &procedure, const QList<int> &lines,
                   const QString &explanation);
    void clear();
    // The text, its numbers and highlight at a scale in percent, every line whole.
    void setPercent(int percent);
    // The highlighted line numbers.
    QList<int> highlighted() const { return lines; }

    QPlainTextEdit *text;
    QLabel *explanation;

protected:
    void changeEvent(QEvent *event) override;

private:
    void reserveExplanation();

    QString shown; // the procedure whose text is in the view
    QList<int> lines;
};
