#include "figures.h"
#include "figuresize.h"
#include "recordingcanvas.h"

#include <QTest>

namespace {

using Flake = void (Figures::*)(double, double, double);
using Stroke = std::array<double, 4>;

struct Drawn
{
    QList<RecordingCanvas::Call> strokes;
    qint64 calls;
    int depth;
};

Drawn drawFlake(Flake flake, double d)
{
    RecordingCanvas canvas;
    RandomColours colours;
    Figures figures(canvas, colours);
    (figures.*flake)(0, 0, d);
    return {canvas.calls, figures.counter.calls(), figures.counter.deepest()};
}

// Expected values are given to four decimals, and the canvas receives floats.
constexpr double fourDecimals = 0.0001;

bool same(const RecordingCanvas::Call &call, const Stroke &expected)
{
    const double actual[4] = {call.a, call.b, call.c, call.d};
    for (int i = 0; i < 4; ++i)
        if (std::abs(actual[i] - expected[i]) > fourDecimals)
            return false;
    return call.kind == RecordingCanvas::Line;
}

QString describe(const RecordingCanvas::Call &call)
{
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(call.a).arg(call.b).arg(call.c).arg(call.d);
}

void compareStrokes(const QList<RecordingCanvas::Call> &strokes, qsizetype first,
                    const QList<Stroke> &expected)
{
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(same(strokes[first + i], expected[i]),
                 qPrintable(QStringLiteral("stroke %1 is %2")
                                    .arg(first + i + 1)
                                    .arg(describe(strokes[first + i]))));
}

// The smallest box around every stroke: {left, right, bottom, top}.
Stroke span(const QList<RecordingCanvas::Call> &strokes)
{
    Stroke box{1e9, -1e9, 1e9, -1e9};
    for (const auto &s : strokes) {
        box[0] = std::min({box[0], s.a, s.c});
        box[1] = std::max({box[1], s.a, s.c});
        box[2] = std::min({box[2], s.b, s.d});
        box[3] = std::max({box[3], s.b, s.d});
    }
    return box;
}

} // namespace

class TestSnowflakes : public QObject
{
    Q_OBJECT

private slots:
    void fourArmedSixty();
    void sixArmedSixty();
    void levels_data();
    void levels();
    void sizeLimits();
};

void TestSnowflakes::fourArmedSixty()
{
    const Drawn drawn = drawFlake(&Figures::Ris, 60);
    QCOMPARE(drawn.strokes.size(), 340);
    QCOMPARE(drawn.calls, 341);
    QCOMPARE(drawn.depth, 5);
    // clang-format off
    compareStrokes(drawn.strokes, 0, {
        {0, 30, 0, -30},           {30, 0, -30, 0},          {-20, 20, 20, -20},        {20, 20, -20, -20},
        {-30, 15, -30, -15},       {-15, 0, -45, 0},         {-40, 10, -20, -10},       {-20, 10, -40, -10},
        {-45, 7.5, -45, -7.5},     {-37.5, 0, -52.5, 0},     {-50, 5, -40, -5},         {-40, 5, -50, -5},
        {-52.5, 3.75, -52.5, -3.75}, {-48.75, 0, -56.25, 0}, {-55, 2.5, -50, -2.5},     {-50, 2.5, -55, -2.5},
        {-37.5, 3.75, -37.5, -3.75}, {-33.75, 0, -41.25, 0},
    });
    // clang-format on
    compareStrokes(drawn.strokes, 339, {{2.5, -50, -2.5, -55}});
    QCOMPARE(span(drawn.strokes), (Stroke{-56.25, 56.25, -56.25, 56.25}));
    for (const auto &stroke : drawn.strokes)
        QCOMPARE(stroke.colour, qRgb(128, 0, 128));
}

void TestSnowflakes::sixArmedSixty()
{
    const Drawn drawn = drawFlake(&Figures::Ris3, 60);
    QCOMPARE(drawn.strokes.size(), 129);
    QCOMPARE(drawn.calls, 259);
    QCOMPARE(drawn.depth, 4);
    // clang-format off
    compareStrokes(drawn.strokes, 0, {
        {-60, 0, 60, 0}, {-30.0276, -51.9456, 30.0276, 51.9456}, {-30.0276, 51.9456, 30.0276, -51.9456},
        {10.0276, 51.9456, 50.0276, 51.9456}, {20.0184, 34.6304, 40.0368, 69.2608}, {20.0184, 69.2608, 40.0368, 34.6304},
        {33.3701, 69.2608, 46.7034, 69.2608}, {36.7004, 63.4891, 43.3732, 75.0325}, {36.7004, 75.0325, 43.3732, 63.4891},
        {13.3517, 34.6304, 26.6851, 34.6304},
    });
    // clang-format on
    compareStrokes(drawn.strokes, 128, {{76.7372, 5.7717, 83.4099, -5.7717}});
    const Stroke box = span(drawn.strokes);
    QVERIFY(std::abs(box[0] + 86.7402) < fourDecimals && std::abs(box[1] - 86.7402) < fourDecimals);
    QVERIFY(std::abs(box[2] + 75.0325) < fourDecimals && std::abs(box[3] - 75.0325) < fourDecimals);
    for (const auto &stroke : drawn.strokes)
        QCOMPARE(stroke.colour, qRgb(0, 0, 255));
}

void TestSnowflakes::levels_data()
{
    QTest::addColumn<bool>("sixArmed");
    QTest::addColumn<double>("length");
    QTest::addColumn<int>("strokes");
    QTest::addColumn<double>("reach"); // half-width of the figure; 0 when nothing is drawn
    QTest::newRow("four 4") << false << 4.0 << 0 << 0.0;
    QTest::newRow("four 5") << false << 5.0 << 4 << 2.5;
    QTest::newRow("four 10") << false << 10.0 << 20 << 7.5;
    QTest::newRow("four 99") << false << 99.0 << 1364 << 95.90625;
    QTest::newRow("four 0") << false << 0.0 << 0 << 0.0;
    QTest::newRow("four -60") << false << -60.0 << 0 << 0.0;
    QTest::newRow("six 4") << true << 4.0 << 0 << 0.0;
    QTest::newRow("six 5") << true << 5.0 << 3 << 5.0;
    QTest::newRow("six 15") << true << 15.0 << 21 << 0.0;
    QTest::newRow("six 45") << true << 45.0 << 129 << 0.0;
    QTest::newRow("six 79") << true << 79.0 << 129 << 114.2080;
}

// Stroke counts at the level thresholds, the size check agreeing with them.
void TestSnowflakes::levels()
{
    QFETCH(bool, sixArmed);
    QFETCH(double, length);
    QFETCH(int, strokes);
    QFETCH(double, reach);
    const Drawn drawn = drawFlake(sixArmed ? &Figures::Ris3 : &Figures::Ris, length);
    QCOMPARE(drawn.strokes.size(), strokes);
    QCOMPARE(shapeCount(sixArmed ? snowflake6Growth : snowflakeGrowth, length), double(strokes));
    if (reach > 0) {
        const Stroke box = span(drawn.strokes);
        QVERIFY2(std::abs(box[1] - reach) < fourDecimals && std::abs(box[0] + reach) < fourDecimals,
                 qPrintable(QString::number(box[1], 'f', 6)));
    }
    if (sixArmed && length == 5)
        compareStrokes(drawn.strokes, 1,
                       {{-2.5023, -4.3288, 2.5023, 4.3288}, {-2.5023, 4.3288, 2.5023, -4.3288}});
    if (sixArmed && length == 79)
        QVERIFY(std::abs(span(drawn.strokes)[3] - 98.7928) < fourDecimals);
}

void TestSnowflakes::sizeLimits()
{
    QCOMPARE(drawingLevels(snowflakeGrowth, 5119.99), 10);
    QCOMPARE(drawingLevels(snowflakeGrowth, 5120), 11);
    QVERIFY(shapeCount(snowflakeGrowth, 5119.99) <= shapeLimit);
    QVERIFY(shapeCount(snowflakeGrowth, 5120) > shapeLimit);
    QCOMPARE(drawingLevels(snowflake6Growth, 32804.99), 8);
    QCOMPARE(drawingLevels(snowflake6Growth, 32805), 9);
    QVERIFY(shapeCount(snowflake6Growth, 32804.99) <= shapeLimit);
    QVERIFY(shapeCount(snowflake6Growth, 32805) > shapeLimit);
    // A drawing at the limit makes exactly the strokes the check predicts.
    QCOMPARE(double(drawFlake(&Figures::Ris, 5119.99).strokes.size()),
             shapeCount(snowflakeGrowth, 5119.99));
}

QTEST_APPLESS_MAIN(TestSnowflakes)
#include "tst_snowflakes.moc"
