#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A shape as a drawing line drew it: a line from (a, b) to (c, d), or a circle
// around (a, b) of radius c.
struct DrawnShape
{
    enum Kind { Line, Circle };
    Kind kind = Line;
    double a = 0, b = 0, c = 0, d = 0;
};

// What the program knows of one call, for explaining the lines of its procedure.
struct CallFacts
{
    QString call;                  // as the window writes it: "Ris1(x = 100; y = 100; r = 30)"
    QList<double> arguments;       // in the order of the procedure's parameters
    bool stopped = false;          // the call returned at the test
    QList<DrawnShape> shapes;      // what its drawing lines drew, in order
    QStringList written;           // the lines of verse its writing lines wrote, in order
    QStringList calls;             // the calls its call lines made, in order
    QHash<QString, double> values; // what its computing lines computed, by name
};

// The text of one recursive procedure, cut out of the program's own source, and
// what each of its lines does, read from the text itself. Lines are numbered from 1.
class ProcedureText
{
public:
    enum Kind {
        Signature,
        Brace,
        Comment,
        Test,
        Return,
        Draw,
        Write,
        Call,
        Compute,
        Statement,
        End
    };

    // Cuts the procedure defined in source under this name, without the line that
    // only counts the call; empty when source defines no such procedure.
    static ProcedureText cut(QStringView source, QStringView name);
    // The procedure of this name among the program's sources built into it.
    static const ProcedureText &named(const QString &name);
    // Code shown as it is, named so, every line a statement of its own.
    static ProcedureText plain(const QString &name, const QString &code);
    // Every procedure that counts its calls, among the program's sources built into it.
    static QList<ProcedureText> all();

    QString name() const { return name_; }
    bool isEmpty() const { return lines_.isEmpty(); }
    int lineCount() const { return int(lines_.size()); }
    // Line 1 is the first.
    QString line(int number) const { return lines_.value(number - 1); }
    Kind kind(int number) const { return kinds.value(number - 1, Statement); }
    QStringList parameters() const { return parameters_; }
    // The lines of this kind, in order.
    QList<int> linesOf(Kind kind) const;
    // The lines a call runs after its test, the test holding or not.
    QList<int> branch(bool stopped) const;
    // What a whole call did, line by line: its drawing or writing lines, or else
    // the return it stopped at.
    QList<int> callLevelLines(bool stopped) const;
    // Whether the test holds for these arguments.
    bool stops(const QList<double> &arguments) const;

    // One line in words, for the call these facts tell of: "Строка 5. Окружность: ...".
    QString explain(int number, const CallFacts &facts) const;

private:
    void classify();
    QString explainTest(const CallFacts &facts) const;
    // The place of a line among the lines of its kind on the same branch, the first being 0.
    int placeAmong(int number) const;

    QString name_;
    QStringList lines_;
    QList<Kind> kinds;
    QStringList parameters_;
    int test = 0;          // the test's line
    int stoppingFirst = 0; // the lines the test holding runs: first ... last
    int stoppingLast = -1;
    int goingOn = 1; // the first line a call runs when the test does not hold
};
