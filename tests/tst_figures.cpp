#include "figurerecord.h"
#include "figures.h"
#include "figuresize.h"

#include <QSet>
#include <QTest>

namespace {

using Procedure = void (Figures::*)(double, double, double);
const Procedure procedures[] = {&Figures::Ris1, &Figures::Ris2, &Figures::Diag,
                                &Figures::Ris,  &Figures::Ris3, &Figures::Treug};
const QPointF starts[] = {{100, 100}, {100, 100}, {100, 100}, {0, 0}, {0, 0}, {50, 0}};

// Tells how often the clock and the generator are asked; may stop the clock.
class WatchedColours : public RandomColours
{
public:
    float TimeOfDay() override
    {
        return ++clockReads, frozen ? 43200.5f : RandomColours::TimeOfDay();
    }
    void Reseed(double value) override { ++reseeds, RandomColours::Reseed(value); }
    float NextRandom() override { return numbers.emplace_back(RandomColours::NextRandom()); }

    bool frozen = false;
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
    // The call and depth of a step, then its first shape as {kind, a, b, c, d}, to four decimals.
    QList<double> step(qsizetype i) const
    {
        const auto &step = record.steps()[i];
        return QList<double>{double(step.call), double(step.depth)}
        + shape(i ? record.steps()[i - 1].end : 0);
    }
    QList<double> shape(qsizetype i) const
    {
        const auto &s = record.shapes()[i];
        QList<double> numbers{double(s.kind), s.a, s.b, s.c, s.d};
        for (double &n : numbers)
            n = std::round(n * 1e4) / 1e4;
        return numbers;
    }

    WatchedColours colours;
    Figures figures{record, colours}; // draws into the record declared next
    FigureRecord record{figures.counter};
};

} // namespace

class TestFigures : public QObject
{
    Q_OBJECT

private slots:
    void drawingOrder_data();
    void drawingOrder();
    void stoppingTests_data();
    void stoppingTests();
    void sizeBound();
    void triangleColours();
};

void TestFigures::drawingOrder_data()
{
    QTest::addColumn<int>("figure");
    QTest::addColumn<double>("size");
    QTest::addColumn<QList<QList<double>>>("firstStep"); // every shape of the first call
    QTest::addColumn<QList<QList<double>>>("steps"); // call, depth, first shape of drawing calls
    QTest::addColumn<QList<int>>("totals");          // calls, depth, shapes, drawing calls
    QTest::addColumn<QRgb>("colour");
    const double L = FigureRecord::Line, O = FigureRecord::LineOn, C = FigureRecord::Circle;
    // clang-format off
    QTest::newRow("horizontal 30") << 0 << 30.0 << QList<QList<double>>{{C, 100, 100, 30, 0}}
        << QList<QList<double>>{{1, 1, C, 100, 100, 30, 0}, {2, 2, C, 130, 100, 20, 0}, {3, 3, C, 150, 100, 13.3333, 0},
            {6, 3, C, 110, 100, 13.3333, 0}, {9, 2, C, 70, 100, 20, 0}, {10, 3, C, 90, 100, 13.3333, 0}, {13, 3, C, 50, 100, 13.3333, 0}}
        << QList<int>{15, 4, 7, 7} << qRgb(128, 0, 128);
    QTest::newRow("vertical 30") << 1 << 30.0 << QList<QList<double>>{{C, 100, 100, 30, 0}}
        << QList<QList<double>>{{1, 1, C, 100, 100, 30, 0}, {2, 2, C, 100, 130, 20, 0}, {3, 3, C, 100, 150, 13.3333, 0},
            {6, 3, C, 100, 110, 13.3333, 0}, {9, 2, C, 100, 70, 20, 0}, {10, 3, C, 100, 90, 13.3333, 0}, {13, 3, C, 100, 50, 13.3333, 0}}
        << QList<int>{15, 4, 7, 7} << qRgb(128, 0, 128);
    QTest::newRow("diagonal 30") << 2 << 30.0 << QList<QList<double>>{{C, 100, 100, 30, 0}}
        << QList<QList<double>>{{1, 1, C, 100, 100, 30, 0}, {2, 2, C, 121.2133, 78.7869, 20, 0}, {3, 3, C, 135.3555, 64.6449, 13.3333, 0},
            {6, 3, C, 107.0711, 92.9290, 13.3333, 0}, {9, 2, C, 78.7867, 121.2131, 20, 0}, {10, 3, C, 92.9289, 107.0710, 13.3333, 0},
            {13, 3, C, 64.6445, 135.3551, 13.3333, 0}}
        << QList<int>{15, 4, 7, 7} << qRgb(128, 0, 128);
    QTest::newRow("snowflake 20") << 3 << 20.0
        << QList<QList<double>>{{L, 0, 10, 0, -10}, {L, 10, 0, -10, 0}, {L, -6.6667, 6.6667, 6.6667, -6.6667}, {L, 6.6667, 6.6667, -6.6667, -6.6667}}
        << QList<QList<double>>{{1, 1, L, 0, 10, 0, -10}, {2, 2, L, -10, 5, -10, -5}, {3, 3, L, -15, 2.5, -15, -2.5}, {8, 3, L, -5, 2.5, -5, -2.5},
            {13, 3, L, -10, 7.5, -10, 2.5}, {18, 3, L, -10, -2.5, -10, -7.5}, {23, 2, L, 10, 5, 10, -5}}
        << QList<int>{85, 4, 84, 21} << qRgb(128, 0, 128);
    QTest::newRow("six-armed 60") << 4 << 60.0
        << QList<QList<double>>{{L, -60, 0, 60, 0}, {L, -30.0276, -51.9456, 30.0276, 51.9456}, {L, -30.0276, 51.9456, 30.0276, -51.9456}}
        << QList<QList<double>>{{1, 1, L, -60, 0, 60, 0}, {2, 2, L, 10.0276, 51.9456, 50.0276, 51.9456}, {3, 3, L, 33.3701, 69.2608, 46.7034, 69.2608},
            {10, 3, L, 13.3517, 34.6304, 26.6851, 34.6304}, {17, 3, L, 13.3517, 69.2608, 26.6851, 69.2608}, {24, 3, L, 33.3701, 34.6304, 46.7034, 34.6304},
            {31, 3, L, 3.3425, 51.9456, 16.6759, 51.9456}, {38, 3, L, 43.3793, 51.9456, 56.7126, 51.9456}, {45, 2, L, -50.0276, -51.9456, -10.0276, -51.9456}}
        << QList<int>{259, 4, 129, 43} << qRgb(0, 0, 255);
    QTest::newRow("triangle") << 5 << 100.0
        << QList<QList<double>>{{L, 50, 0, 100, 100}, {O, 0, 0, 0, 100}, {O, 0, 0, 50, 0}, {L, 25, 50, 75, 50}, {O, 0, 0, 50, 100}, {O, 0, 0, 25, 50}}
        << QList<QList<double>>{{1, 1, L, 50, 0, 100, 100}, {2, 2, L, 75, 50, 100, 100}, {3, 3, L, 87.5, 75, 100, 100}, {7, 3, L, 62.5, 75, 75, 100},
            {11, 3, L, 75, 50, 87.5, 75}, {15, 2, L, 25, 50, 50, 100}, {16, 3, L, 37.5, 75, 50, 100}}
        << QList<int>{40, 4, 78, 13} << QRgb(0);
    // clang-format on
}

// Each figure draws depth first, its calls and shapes in the documented order.
void TestFigures::drawingOrder()
{
    QFETCH(int, figure);
    QFETCH(double, size);
    QFETCH(QList<QList<double>>, firstStep);
    QFETCH(QList<QList<double>>, steps);
    QFETCH(QList<int>, totals);
    QFETCH(QRgb, colour);
    const Drawn drawn(figure, size);
    const auto &record = drawn.record;
    QCOMPARE(record.steps().front().end, firstStep.size());
    for (qsizetype i = 0; i < firstStep.size(); ++i)
        QCOMPARE(drawn.shape(i), firstStep[i]);
    for (qsizetype i = 0; i < steps.size(); ++i)
        QCOMPARE(drawn.step(i), steps[i]);
    const RecursionCounter &counter = drawn.figures.counter;
    QCOMPARE((QList<int>{int(counter.calls()), counter.deepest(), int(counter.shapes()),
                         int(record.steps().size())}),
             totals);
    QCOMPARE(counter.depth(), 0);
    for (const auto &shape : record.shapes())
        if (colour)
            QCOMPARE(shape.colour, colour);
}

void TestFigures::stoppingTests_data()
{
    QTest::addColumn<int>("figure");
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("shapes");
    // clang-format off
    const struct { int figure; double size; int shapes; } rows[] = {
        {0, 9.99, 0}, {0, 15, 3}, {1, 10, 1}, {1, 33.74, 7}, {2, 33.75, 15}, {2, -30, 0}, {3, 4.99, 0}, {3, 5, 4},
        {3, 10, 20}, {4, 4.99, 0}, {4, 5, 3}, {4, 15, 21}, {4, 45, 129}, {5, 19.99, 0}, {5, 20, 6}, {5, 40, 24},
    };
    // clang-format on
    for (const auto &row : rows)
        QTest::addRow("figure %d, %g", row.figure, row.size)
                << row.figure << row.size << row.shapes;
}

// A size below the threshold draws nothing, the threshold itself draws; the
// window's size check predicts every count.
void TestFigures::stoppingTests()
{
    QFETCH(int, figure);
    QFETCH(double, size);
    QFETCH(int, shapes);
    const Drawn drawn(figure, size);
    QCOMPARE(qsizetype(drawn.record.shapes().size()), shapes);
    const Growth growths[] = {circleChainGrowth, circleChainGrowth, circleChainGrowth,
                              snowflakeGrowth, snowflake6Growth};
    if (figure < 5)
        QCOMPARE(shapeCount(growths[figure], size), double(shapes));
    else // the colours are only asked for by calls that draw
        QCOMPARE(drawn.colours.clockReads, shapes / 6);
}

// The largest figures drawn stay within the bound, the next size up does not.
void TestFigures::sizeBound()
{
    const auto bounded = [](const Growth &growth, double size) {
        return shapeCount(growth, size) <= shapeLimit;
    };
    QVERIFY(bounded(circleChainGrowth, 33252.5) && !bounded(circleChainGrowth, 33252.6));
    QVERIFY(bounded(snowflakeGrowth, 5119.99) && !bounded(snowflakeGrowth, 5120));
    QVERIFY(bounded(snowflake6Growth, 32804.99) && !bounded(snowflake6Growth, 32805));
    QVERIFY(!bounded(circleChainGrowth, 1.7e308));
}

// One clock read, reseed and number per drawing call, its colour shared by its
// six strokes; with the clock stopped the colours still vary, and change from click to click.
void TestFigures::triangleColours()
{
    Drawn drawn(5, 100);
    const WatchedColours &colours = drawn.colours;
    QCOMPARE((QList<int>{colours.clockReads, colours.reseeds, int(colours.numbers.size())}),
             (QList<int>{13, 13, 13}));
    for (int call = 0; call < 13; ++call) {
        QVERIFY(colours.numbers[call] >= 0 && colours.numbers[call] < 1);
        for (int stroke = 0; stroke < 6; ++stroke)
            QCOMPARE(drawn.record.shapes()[call * 6 + stroke].colour,
                     PaletteColour(int(colours.numbers[call] * 15.0)));
    }
    drawn.colours.frozen = true;
    const auto colouring = [&] {
        drawn.record.clear();
        drawn.figures.Treug(50, 0, 100);
        QList<QRgb> perCall;
        for (const auto &step : drawn.record.steps())
            perCall << drawn.record.shapes()[step.end - 1].colour;
        return perCall;
    };
    const QList<QRgb> first = colouring();
    QVERIFY(QSet<QRgb>(first.begin(), first.end()).size() >= 3);
    QVERIFY(colouring() != first);
}

QTEST_APPLESS_MAIN(TestFigures)
#include "tst_figures.moc"
