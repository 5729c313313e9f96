#include "figures.h"
#include "figuresize.h"
#include "recordingcanvas.h"

#include <QTest>

#include <functional>

namespace {

using Chain = void (Figures::*)(double, double, double);

struct Drawn
{
    QList<RecordingCanvas::Call> circles;
    qint64 calls;
    int depth;
    qint64 shapes;
};

Drawn drawChain(Chain chain, double r, float pi = 3.14157f)
{
    RecordingCanvas canvas;
    RandomColours colours;
    Figures figures(canvas, colours);
    figures.Pi = pi;
    (figures.*chain)(100, 100, r);
    return {canvas.calls, figures.counter.calls(), figures.counter.deepest(),
            figures.counter.shapes()};
}

bool near(double actual, double expected)
{
    return std::abs(actual - expected) < 0.00005;
}

} // namespace

class TestCircleChains : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_data();
    void workedExample();
    void levelThresholds_data();
    void levelThresholds();
    void spansAtForty();
    void diagonalWithoutAngleIsHorizontal();
    void sizeLimit();
};

void TestCircleChains::workedExample_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QList<QPointF>>("centres");
    QTest::newRow("Ris1") << 0 << QList<QPointF>{{100, 100}, {130, 100}, {150, 100}, {110, 100},
                                                 {70, 100},  {90, 100},  {50, 100}};
    QTest::newRow("Ris2") << 1 << QList<QPointF>{{100, 100}, {100, 130}, {100, 150}, {100, 110},
                                                 {100, 70},  {100, 90},  {100, 50}};
    QTest::newRow("Diag") << 2 << QList<QPointF>{{100, 100},          {121.2133, 78.7869},
                                                 {135.3555, 64.6449}, {107.0711, 92.9290},
                                                 {78.7867, 121.2131}, {92.9289, 107.0710},
                                                 {64.6445, 135.3551}};
}

// Typed "30": seven circles in drawing order, 15 entries, 4 deep.
void TestCircleChains::workedExample()
{
    QFETCH(int, which);
    QFETCH(QList<QPointF>, centres);
    const Chain chains[] = {&Figures::Ris1, &Figures::Ris2, &Figures::Diag};
    const double radii[] = {30, 20, 13.3333, 13.3333, 20, 13.3333, 13.3333};

    const Drawn drawn = drawChain(chains[which], 30);
    QCOMPARE(drawn.circles.size(), 7);
    for (int i = 0; i < 7; ++i) {
        const auto &circle = drawn.circles[i];
        QVERIFY2(near(circle.a, centres[i].x()) && near(circle.b, centres[i].y())
                         && near(circle.c, radii[i]),
                 qPrintable(QStringLiteral("circle %1 at (%2, %3) r %4")
                                    .arg(i + 1)
                                    .arg(circle.a)
                                    .arg(circle.b)
                                    .arg(circle.c)));
        QCOMPARE(circle.kind, RecordingCanvas::Circle);
        QCOMPARE(circle.colour, qRgb(128, 0, 128));
    }
    QCOMPARE(drawn.calls, 15);
    QCOMPARE(drawn.depth, 4);
    QCOMPARE(drawn.shapes, 7);
}

void TestCircleChains::levelThresholds_data()
{
    QTest::addColumn<double>("radius");
    QTest::addColumn<int>("circles");
    QTest::newRow("9") << 9.0 << 0;
    QTest::newRow("10") << 10.0 << 1;
    QTest::newRow("15") << 15.0 << 3;
    QTest::newRow("33.75") << 33.75 << 15;
    QTest::newRow("33.74") << 33.74 << 7;
    QTest::newRow("40") << 40.0 << 15;
    QTest::newRow("1000") << 1000.0 << 4095;
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("-30") << -30.0 << 0;
}

// Each chain draws 2^L - 1 circles and the size check predicts exactly that.
void TestCircleChains::levelThresholds()
{
    QFETCH(double, radius);
    QFETCH(int, circles);
    for (Chain chain : {&Figures::Ris1, &Figures::Ris2, &Figures::Diag}) {
        const Drawn drawn = drawChain(chain, radius);
        QCOMPARE(drawn.circles.size(), circles);
        QCOMPARE(drawn.calls, 2 * circles + 1);
    }
    QCOMPARE(shapeCount(circleChainGrowth, radius), double(circles));
    if (radius == 15) {
        const Drawn drawn = drawChain(&Figures::Ris1, radius);
        QCOMPARE(drawn.circles[1].c, 10.0);
    }
}

void TestCircleChains::spansAtForty()
{
    const auto span = [](const Drawn &drawn, double RecordingCanvas::Call::*axis) {
        double low = 1e9, high = -1e9;
        for (const auto &circle : drawn.circles) {
            low = std::min(low, circle.*axis - circle.c);
            high = std::max(high, circle.*axis + circle.c);
        }
        return std::pair(low, high);
    };
    const auto [left, right] = span(drawChain(&Figures::Ris1, 40), &RecordingCanvas::Call::a);
    QVERIFY(std::abs(left - 3.70) < 0.005 && std::abs(right - 196.30) < 0.005);
    const Drawn diagonal = drawChain(&Figures::Diag, 40);
    for (auto axis : {&RecordingCanvas::Call::a, &RecordingCanvas::Call::b}) {
        const auto [low, high] = span(diagonal, axis);
        QVERIFY2(std::abs(low - 28.44) < 0.005 && std::abs(high - 171.56) < 0.005,
                 qPrintable(QStringLiteral("%1 %2").arg(low).arg(high)));
    }
}

// With Pi still 0 the diagonal chain draws the horizontal one, circle for circle.
void TestCircleChains::diagonalWithoutAngleIsHorizontal()
{
    const Drawn diagonal = drawChain(&Figures::Diag, 100, 0);
    const Drawn horizontal = drawChain(&Figures::Ris1, 100);
    QCOMPARE(diagonal.circles.size(), 63);
    for (int i = 0; i < 63; ++i)
        QVERIFY(diagonal.circles[i].a == horizontal.circles[i].a
                && diagonal.circles[i].b == horizontal.circles[i].b);
}

// The largest chain drawn has 20 levels; one more level is refused.
void TestCircleChains::sizeLimit()
{
    QCOMPARE(drawingLevels(circleChainGrowth, 33252.5), 20);
    QCOMPARE(drawingLevels(circleChainGrowth, 33252.6), 21);
    QVERIFY(shapeCount(circleChainGrowth, 33252.5) <= shapeLimit);
    QVERIFY(shapeCount(circleChainGrowth, 33252.6) > shapeLimit);
    QVERIFY(shapeCount(circleChainGrowth, 1.7e308) > shapeLimit);
}

QTEST_APPLESS_MAIN(TestCircleChains)
#include "tst_circlechains.moc"
