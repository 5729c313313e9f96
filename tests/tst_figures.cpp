#include "figurefacts.h"
#include "figurerecord.h"
#include "figures.h"
#include "figuresize.h"
#include "linewalk.h"
#include "userscale.h"

#include <QSet>
#include <QStringList>
#include <QTest>

namespace {

using Procedure = void (Figures::*)(double, double, double);
using Numbers = QList<QList<double>>;
const Procedure procedures[] = {&Figures::Ris1, &Figures::Ris2, &Figures::Diag,
                                &Figures::Ris,  &Figures::Ris3, &Figures::Treug};
const QPointF starts[] = {{100, 100}, {100, 100}, {100, 100}, {0, 0}, {0, 0}, {50, 0}};
const Growth growths[] = {circleChainGrowth, circleChainGrowth, circleChainGrowth,
                          snowflakeGrowth,   snowflake6Growth,  triangleGrowth};

// A clock that stands still; tells how often it and the generator are asked.
class WatchedColours : public RandomColours
{
public:
    float TimeOfDay() override { return ++clockReads, 43200.5f; }
    void Reseed(double value) override { ++reseeds, RandomColours::Reseed(value); }
    float NextRandom() override { return numbers.emplace_back(RandomColours::NextRandom()); }

    int clockReads = 0, reseeds = 0;
    QList<float> numbers;
};

// One figure drawn from its usual start point into a record.
struct Drawn
{
    Drawn(int figure, double size)
    {
        figures.Pi = 3.14157f;
        (figures.*procedures[figure])(starts[figure].x(), starts[figure].y(), size);
    }
    // A shape as {kind, a, b, c, d} to four decimals, with its call and depth in front if asked.
    QList<double> shape(qsizetype i, const FigureRecord::Step *step = nullptr) const
    {
        const auto &s = record.shapes()[i];
        QList<double> numbers{double(s.kind), s.a, s.b, s.c, s.d};
        for (double &n : numbers)
            n = std::round(n * 1e4) / 1e4;
        return step ? QList<double>{double(step->call), double(step->depth)} + numbers : numbers;
    }

    WatchedColours colours;
    Figures figures{record, colours}; // draws into the record declared next
    FigureRecord record{figures.counter};
};

// A figure's shapes of its first call; call, depth, first shape of its first drawing
// calls; calls, depth, shapes and drawing calls in all.
struct Order
{
    int figure;
    double size;
    Numbers firstCall, drawingCalls;
    QList<int> totals;
    QRgb colour; // 0: random
};

} // namespace

class TestFigures : public QObject
{
    Q_OBJECT

private slots:
    void drawingOrder_data()
    {
        QTest::addColumn<Order>("order");
        const double L = FigureRecord::Line, O = FigureRecord::LineOn, C = FigureRecord::Circle;
        const QRgb magenta = qRgb(128, 0, 128);
        const double r = 13.3333;
        // clang-format off
        QTest::newRow("horizontal 30") << Order{0, 30, {},
            {{1, 1, C, 100, 100, 30, 0}, {2, 2, C, 130, 100, 20, 0}, {3, 3, C, 150, 100, r, 0}, {6, 3, C, 110, 100, r, 0},
             {9, 2, C, 70, 100, 20, 0}, {10, 3, C, 90, 100, r, 0}, {13, 3, C, 50, 100, r, 0}}, {15, 4, 7, 7}, magenta};
        QTest::newRow("vertical 30") << Order{1, 30, {},
            {{1, 1, C, 100, 100, 30, 0}, {2, 2, C, 100, 130, 20, 0}, {3, 3, C, 100, 150, r, 0}, {6, 3, C, 100, 110, r, 0},
             {9, 2, C, 100, 70, 20, 0}, {10, 3, C, 100, 90, r, 0}, {13, 3, C, 100, 50, r, 0}}, {15, 4, 7, 7}, magenta};
        QTest::newRow("diagonal 30") << Order{2, 30, {},
            {{1, 1, C, 100, 100, 30, 0}, {2, 2, C, 121.2133, 78.7869, 20, 0}, {3, 3, C, 135.3555, 64.6449, r, 0},
             {6, 3, C, 107.0711, 92.9290, r, 0}, {9, 2, C, 78.7867, 121.2131, 20, 0}, {10, 3, C, 92.9289, 107.0710, r, 0},
             {13, 3, C, 64.6445, 135.3551, r, 0}}, {15, 4, 7, 7}, magenta};
        QTest::newRow("snowflake 20") << Order{3, 20,
            {{L, 0, 10, 0, -10}, {L, 10, 0, -10, 0}, {L, -6.6667, 6.6667, 6.6667, -6.6667}, {L, 6.6667, 6.6667, -6.6667, -6.6667}},
            {{1, 1, L, 0, 10, 0, -10}, {2, 2, L, -10, 5, -10, -5}, {3, 3, L, -15, 2.5, -15, -2.5}, {8, 3, L, -5, 2.5, -5, -2.5},
             {13, 3, L, -10, 7.5, -10, 2.5}, {18, 3, L, -10, -2.5, -10, -7.5}, {23, 2, L, 10, 5, 10, -5}}, {85, 4, 84, 21}, magenta};
        QTest::newRow("six-armed 60") << Order{4, 60,
            {{L, -60, 0, 60, 0}, {L, -30.0276, -51.9456, 30.0276, 51.9456}, {L, -30.0276, 51.9456, 30.0276, -51.9456}},
            {{1, 1, L, -60, 0, 60, 0}, {2, 2, L, 10.0276, 51.9456, 50.0276, 51.9456}, {3, 3, L, 33.3701, 69.2608, 46.7034, 69.2608},
             {10, 3, L, 13.3517, 34.6304, 26.6851, 34.6304}, {17, 3, L, 13.3517, 69.2608, 26.6851, 69.2608},
             {24, 3, L, 33.3701, 34.6304, 46.7034, 34.6304}, {31, 3, L, 3.3425, 51.9456, 16.6759, 51.9456},
             {38, 3, L, 43.3793, 51.9456, 56.7126, 51.9456}, {45, 2, L, -50.0276, -51.9456, -10.0276, -51.9456}},
            {259, 4, 129, 43}, qRgb(0, 0, 255)};
        QTest::newRow("triangle") << Order{5, 100,
            {{L, 50, 0, 100, 100}, {O, 0, 0, 0, 100}, {O, 0, 0, 50, 0}, {L, 25, 50, 75, 50}, {O, 0, 0, 50, 100}, {O, 0, 0, 25, 50}},
            {{1, 1, L, 50, 0, 100, 100}, {2, 2, L, 75, 50, 100, 100}, {3, 3, L, 87.5, 75, 100, 100}, {7, 3, L, 62.5, 75, 75, 100},
             {11, 3, L, 75, 50, 87.5, 75}, {15, 2, L, 25, 50, 50, 100}, {16, 3, L, 37.5, 75, 50, 100}}, {40, 4, 78, 13}, 0};
        // clang-format on
    }
    // Each figure draws depth first, its calls and shapes in the documented order.
    void drawingOrder()
    {
        QFETCH(Order, order);
        const Drawn drawn(order.figure, order.size);
        const auto &steps = drawn.record.steps();
        QCOMPARE(steps.front().end, std::max<qsizetype>(order.firstCall.size(), 1));
        for (qsizetype i = 0; i < order.firstCall.size(); ++i)
            QCOMPARE(drawn.shape(i), order.firstCall[i]);
        for (qsizetype i = 0; i < order.drawingCalls.size(); ++i)
            QCOMPARE(drawn.shape(i ? steps[i - 1].end : 0, &steps[i]), order.drawingCalls[i]);
        const RecursionCounter &counter = drawn.figures.counter;
        QCOMPARE((QList<int>{int(counter.calls()), counter.deepest(), int(counter.shapes()),
                             int(steps.size())}),
                 order.totals);
        for (const auto &shape : drawn.record.shapes())
            QCOMPARE(shape.colour, order.colour ? order.colour : shape.colour);
    }
    void stoppingTests_data()
    {
        QTest::addColumn<QList<double>>("row"); // figure, size, shapes
        const double beyond = std::numeric_limits<double>::infinity();
        // clang-format off
        const QList<double> rows[] = {
            {0, 9.99, 0}, {0, 15, 3}, {1, 10, 1}, {1, 33.74, 7}, {2, 33.75, 15}, {2, -30, 0}, {3, 4.99, 0}, {3, 5, 4},
            {3, 10, 20}, {4, 4.99, 0}, {4, 5, 3}, {4, 15, 21}, {4, 45, 129}, {5, 19.99, 0}, {5, 20, 6}, {5, 40, 24},
            {0, 33252.5, 1048575}, {0, 33252.6, 2097151}, {3, 5119.99, 1398100}, {3, 5120, 5592404},
            {4, 32804.99, 1007769}, {4, 32805, 6046617}, {0, 1.7e308, beyond},
        };
        // clang-format on
        for (const QList<double> &row : rows)
            QTest::addRow("figure %g, %g", row[0], row[1]) << row;
    }
    // Thresholds draw, sizes below them not; the window's size check predicts every
    // count and accepts up to 1 500 000 shapes, and what the record is to hold is
    // predicted as well. The largest figures are only counted.
    void stoppingTests()
    {
        QFETCH(QList<double>, row);
        const int figure = int(row[0]);
        if (figure < 5) {
            QCOMPARE(shapeCount(growths[figure], row[1]), row[2]);
            QCOMPARE(shapeCount(growths[figure], row[1]) <= shapeLimit, row[2] <= 1'500'000);
        }
        const FigureCount largest
                = largestFigureCount(); // the chain's calls, the snowflake's shapes
        QCOMPARE((QList<qsizetype>{largest.calls, largest.drawingCalls, largest.shapes}),
                 (QList<qsizetype>{2097151, 1048575, 1398100}));
        if (row[2] > 1000)
            return;
        const Drawn drawn(figure, row[1]);
        QCOMPARE(double(drawn.record.shapes().size()), row[2]);
        const FigureCount expected = figureCount(growths[figure], row[1]);
        QCOMPARE((QList<qsizetype>{expected.calls, expected.drawingCalls, expected.shapes}),
                 (QList<qsizetype>{qsizetype(drawn.figures.counter.calls()),
                                   qsizetype(drawn.record.steps().size()),
                                   qsizetype(drawn.record.shapes().size())}));
        if (figure == 5) // the colours are only asked for by calls that draw
            QCOMPARE(drawn.colours.clockReads, int(row[2]) / 6);
    }
    // One random colour per drawing call; a stopped clock still varies them, click by click.
    void triangleColours()
    {
        Drawn drawn(5, 100);
        const WatchedColours &colours = drawn.colours;
        QCOMPARE((QList<int>{colours.clockReads, colours.reseeds, int(colours.numbers.size())}),
                 (QList<int>{13, 13, 13}));
        QList<QRgb> colouring;
        for (int stroke = 0; stroke < 78; ++stroke) {
            const float r = colours.numbers[stroke / 6];
            QVERIFY(r >= 0 && r < 1);
            QCOMPARE(drawn.record.shapes()[stroke].colour, PaletteColour(int(r * 15.0)));
            colouring << drawn.record.shapes()[stroke].colour;
        }
        QVERIFY(QSet<QRgb>(colouring.begin(), colouring.end()).size() >= 3);
        drawn.record.clear();
        drawn.figures.Treug(50, 0, 100);
        QVERIFY(!std::equal(colouring.begin(), colouring.end(), drawn.record.shapes().begin(),
                            [](QRgb colour, const auto &shape) { return colour == shape.colour; }));
    }
    // The step whose stroke passes nearest under a point: a line, a line drawn on from
    // where the last one ended, a circle's outline; the later step where two are near.
    void shapeUnderPoint()
    {
        RecursionCounter counter;
        FigureRecord record(counter);
        {
            const auto first = counter.enter(u"f(x, y, d)", 0, 0, 0);
            record.DrawLine(0, 0, 100, 0, 0);
            record.DrawLine(100, 100, 0);
            const auto second = counter.enter(u"f(x, y, d)", 0, 0, 0);
            record.DrawCircle(50, 40, 40, 0);
        }
        const UserScale scale = UserScale::fromCorners(0, 0, 200, 200); // 2 user units a pixel
        // clang-format off
        const std::pair<QPointF, qsizetype> points[] = {{{45, 1}, 0}, {{50, 25}, 0}, {{44, 35}, -1}, {{25, 25}, -1}, {{25, 0}, 1}, {{45, 20}, 1}};
        // clang-format on
        for (const auto &[point, step] : points)
            QCOMPARE(record.lastStepNear(record.shapesUpTo(2), scale, 100, point, 3), step);
        QCOMPARE(record.lastStepNear(record.shapesUpTo(1), scale, 100, {45, 20}, 3),
                 -1); // the circle not shown
    }
    // Numbers the Russian way; each figure's calls as its counter and its record count them.
    void callTrace()
    {
        const std::pair<double, const char *> numbers[]
                = {{13.3333, "13,33"},  {20, "20"},      {-3.5, "-3,5"}, {-0.001, "0"},
                   {163.335, "163,34"}, {1e5, "100000"}, {0.104, "0,1"}, {8.8889, "8,89"}};
        for (const auto &[value, text] : numbers)
            QCOMPARE(russianNumber(value), QString::fromUtf8(text));
        const char *names[] = {"Ris1", "Ris2", "Diag", "Ris", "Ris3", "Treug"};
        for (int figure = 0; figure < 6; ++figure) {
            Drawn drawn(figure, 1);
            drawn.record.clear();
            drawn.figures.counter.reset();
            CallTrace trace;
            drawn.figures.counter.trace = &trace;
            (drawn.figures.*procedures[figure])(starts[figure].x(), starts[figure].y(), 60);
            QCOMPARE(trace.text(0),
                     u"%1(x = %2; y = %3; %4 = 60)"_qs.arg(names[figure])
                             .arg(starts[figure].x())
                             .arg(starts[figure].y())
                             .arg(QChar(figure < 3 ? u'r' : u'd')));
            QCOMPARE(trace.calls(), drawn.figures.counter.calls());
            QCOMPARE(trace.steps(), qsizetype(drawn.record.steps().size()));
            int children = 0;
            for (qint32 call = 0; call < trace.calls(); ++call)
                children += trace.childCount(call);
            QCOMPARE(children, trace.calls() - 1);
            for (qsizetype k = 0; k < trace.steps(); ++k) {
                const FigureRecord::Step &step = drawn.record.steps()[size_t(k)];
                QCOMPARE(trace.stepCall(k) + 1, step.call);
                QCOMPARE(trace.path(trace.stepCall(k)).size(), step.depth);
                QCOMPARE(trace.stepsUpTo(trace.stepCall(k)), k + 1);
            }
        }
        // The horizontal chain R = 30 up to its sixth call: two calls of call 2 stopped.
        Drawn drawn(0, 1);
        CallTrace trace;
        drawn.figures.counter.trace = &trace;
        drawn.figures.Ris1(100, 100, 30);
        QStringList texts;
        for (qint32 call = 0; call < 6; ++call)
            texts << trace.text(call) + (trace.drewAnything(call) ? u""_qs : u" стоп"_qs);
        QCOMPARE(texts.join(u", "),
                 u"Ris1(x = 100; y = 100; r = 30), Ris1(x = 130; y = 100; r = 20), "
                 "Ris1(x = 150; y = 100; r = 13,33), Ris1(x = 163,33; y = 100; r = "
                 "8,89) стоп, Ris1(x = 136,67; y = 100; r = 8,89) стоп, Ris1(x = "
                 "110; y = 100; r = 13,33)"_qs);
        QCOMPARE(trace.path(5), (QList<qint32>{0, 1, 5}));
        QCOMPARE((QList<int>{trace.childRow(1), trace.childRow(5), trace.childCount(1),
                             trace.childCount(3), int(trace.stepsUpTo(4))}),
                 (QList<int>{0, 1, 2, 0, 3}));
        const qsizetype held = trace.bytes();
        trace.restart();
        QCOMPARE((QList<qsizetype>{trace.calls(), trace.steps(), trace.bytes()}),
                 (QList<qsizetype>{0, 0, held}));
        trace.clear();
        QCOMPARE(trace.bytes(), 0);
    }
    // Each procedure's text as the calls window shows it, and what its lines do read from
    // the text, checked against what the procedure really does: the drawing lines against
    // the shapes of a drawing call, the call lines against its calls, the test against the
    // calls that stopped, the sizes that reach it exactly (d = 5, d = 20) going on. Then one
    // line of each kind explained.
    void procedureText()
    {
        // clang-format off
        const struct { const char *first; int lines, test; QList<int> drawing, calling; } texts[] = {
            {"void Ris1(double x, double y, double r)", 8, 3, {5}, {6, 7}},
            {"void Ris2(double x, double y, double r)", 8, 3, {5}, {6, 7}},
            {"void Diag(double x, double y, double r)", 8, 3, {5}, {6, 7}},
            {"void Ris(double x, double y, double d)", 13, 3, {5, 6, 7, 8}, {9, 10, 11, 12}},
            {"void Ris3(double x, double y, double d)", 17, 3, {5, 9, 10}, {11, 12, 13, 14, 15, 16}},
            {"void Treug(double x, double y, double d)", 18, 3, {8, 9, 10, 12, 13, 14}, {15, 16, 17}}};
        // clang-format on
        const char *names[] = {"Ris1", "Ris2", "Diag", "Ris", "Ris3", "Treug"};
        for (int figure = 0; figure < 6; ++figure) {
            const ProcedureText &text = ProcedureText::named(QString::fromUtf8(names[figure]));
            QCOMPARE(text.line(1), QString::fromUtf8(texts[figure].first));
            QCOMPARE(text.lineCount(), texts[figure].lines);
            QCOMPARE(text.linesOf(ProcedureText::Test), QList<int>{texts[figure].test});
            QCOMPARE(text.linesOf(ProcedureText::Draw), texts[figure].drawing);
            QCOMPARE(text.linesOf(ProcedureText::Call), texts[figure].calling);
            QCOMPARE(text.line(text.lineCount()), u"}"_qs);
            Drawn drawn(figure, 1);
            CallTrace trace;
            drawn.figures.counter.trace = &trace;
            (drawn.figures.*procedures[figure])(starts[figure].x(), starts[figure].y(), 80);
            for (qint32 call = 0; call < trace.calls(); ++call) {
                const CallFacts facts = figureFacts(drawn.record, trace, call);
                QCOMPARE(text.stops(trace.arguments(call)), !trace.drewAnything(call));
                QCOMPARE(facts.shapes.size(),
                         trace.drewAnything(call) ? texts[figure].drawing.size() : 0);
                QCOMPARE(trace.childCount(call),
                         trace.drewAnything(call) ? texts[figure].calling.size() : 0);
            }
        }
        QCOMPARE(ProcedureText::all().size(), 6);
        QVERIFY(ProcedureText::named(u"Figures"_qs).isEmpty());

        // The horizontal chain R = 30, its first call and its fourth, stopping, one; the
        // six-armed snowflake d = 30 and the triangle, their computed values.
        Drawn drawn(0, 1);
        CallTrace trace;
        drawn.figures.counter.trace = &trace;
        drawn.figures.Ris1(100, 100, 30);
        drawn.figures.Ris3(0, 0, 30);
        drawn.figures.Ris(0, 0, 80); // its fifth call has d = 5
        drawn.figures.Treug(50, 0, 100);
        const auto facts = [&](qint32 call) {
            CallFacts known = figureFacts(drawn.record, trace, call);
            known.call = trace.text(call);
            known.arguments = trace.arguments(call);
            for (qint32 child = trace.firstChild(call); child >= 0;
                 child = trace.nextSibling(child))
                known.calls << trace.text(child);
            return known;
        };
        const int triangle = trace.calls() - 40, fifth = triangle - 1365 + 4;
        const QString colour
                = QString::number(drawn.colours.numbers[0] * 15.0f).section(u'.', 0, 0);
        const struct
        {
            const char *procedure;
            qint32 call;
            int line;
            QString explained;
        } lines[]
                = {{"Ris1", 0, 3, u"Строка 3. Проверка r < 10: 30 < 10 — нет"_qs},
                   {"Ris1", 3, 3, u"Строка 3. Проверка r < 10: 8,89 < 10 — да"_qs},
                   {"Ris1", 0, 5, u"Строка 5. Окружность: центр (100; 100), радиус 30"_qs},
                   {"Ris1", 0, 7,
                    u"Строка 7. Рекурсивный вызов 2 из 2: Ris1(x = 70; y = 100; r = 20)"_qs},
                   {"Ris1", 3, 4,
                    u"Строка 4. Возврат: Ris1(x = 163,33; y = 100; r = 8,89) закончен"_qs},
                   {"Ris1", 0, 8, u"Строка 8. Возврат: Ris1(x = 100; y = 100; r = 30) закончен"_qs},
                   {"Ris", fifth, 3, u"Строка 3. Проверка d < 5: 5 < 5 — нет"_qs},
                   {"Ris3", 15, 7, u"Строка 7. Вычисление: dx = 15,01"_qs},
                   {"Ris3", 15, 10, u"Строка 10. Линия: от (-15,01; 25,97) до (15,01; -25,97)"_qs},
                   {"Treug", triangle, 6, u"Строка 6. Вычисление: c = "_qs + colour},
                   {"Treug", triangle, 9, u"Строка 9. Линия: от (100; 100) до (0; 100)"_qs},
                   {"Treug", triangle, 1,
                    u"Строка 1. Начало процедуры Treug, её параметры: x, y, d"_qs}};
        for (const auto &line : lines)
            QCOMPARE(ProcedureText::named(QString::fromUtf8(line.procedure))
                             .explain(line.line, facts(line.call)),
                     line.explained);
        QCOMPARE(ProcedureText::named(u"Ris1"_qs).callLevelLines(false), QList<int>{5});
        QCOMPARE(ProcedureText::named(u"Ris1"_qs).callLevelLines(true), QList<int>{4});
    }

    // Each figure run line by line: its drawing lines draw the recorded shapes in order,
    // its call lines make the recorded calls in order, back undoes forward, and step
    // over lands where forward steps first come back to the caller.
    void lineWalk()
    {
        const char *names[] = {"Ris1", "Ris2", "Diag", "Ris", "Ris3", "Treug"};
        for (int figure = 0; figure < 6; ++figure) {
            const ProcedureText &text = ProcedureText::named(QString::fromUtf8(names[figure]));
            Drawn drawn(figure, 1);
            CallTrace trace;
            drawn.figures.counter.trace = &trace;
            (drawn.figures.*procedures[figure])(starts[figure].x(), starts[figure].y(), 80);
            const LineWalk walk(trace, text);
            QList<LinePlace> places{walk.first()};
            while (const auto next = walk.next(places.back()))
                places << *next;
            QCOMPARE(places.back(), walk.last());
            QVERIFY(!walk.previous(walk.first()));
            qsizetype shapes = 0;
            qint32 calls = 1, newest = 0;
            for (qsizetype i = 0; i < places.size(); ++i) {
                const LinePlace place = places[i];
                const QString code = text.line(walk.line(place)).trimmed();
                QVERIFY(!code.isEmpty() && code != u"{" && !code.startsWith(u"//"));
                if (i > 0)
                    QCOMPARE(*walk.previous(place), places[i - 1]);
                newest = std::max(newest, place.call);
                QCOMPARE(walk.newestCall(place), newest);
                if (walk.kind(place) == ProcedureText::Draw) {
                    const DrawnShape drew = figureFacts(drawn.record, trace, place.call)
                                                    .shapes[walk.outputsDone(place) - 1];
                    const QPointF start = drawn.record.lineStart(shapes);
                    const auto &recorded = drawn.record.shapes()[shapes++];
                    QCOMPARE(
                            QList<double>({drew.a, drew.b, drew.c}),
                            QList<double>(
                                    {recorded.kind == FigureRecord::Circle ? recorded.a : start.x(),
                                     recorded.kind == FigureRecord::Circle ? recorded.b : start.y(),
                                     recorded.c}));
                }
                if (walk.kind(place) == ProcedureText::Call) {
                    QCOMPARE(places[i + 1], LinePlace({calls++, 0}));
                    QCOMPARE(text.stops(trace.arguments(places[i + 1].call)),
                             walk.stopped(places[i + 1].call));
                }
                qsizetype over = i + 1;
                const qint32 back = walk.kind(place) == ProcedureText::Call
                        ? place.call
                        : trace.parent(place.call);
                while (over < places.size() && places[over].call != back)
                    ++over;
                QCOMPARE(walk.over(place),
                         over < places.size() ? std::optional<LinePlace>(places[over])
                                              : std::nullopt);
            }
            QCOMPARE(shapes, drawn.record.shapes().size());
            QCOMPARE(calls, trace.calls());
        }
    }
};

QTEST_APPLESS_MAIN(TestFigures)
#include "tst_figures.moc"
