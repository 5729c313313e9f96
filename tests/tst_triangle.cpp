#include "figures.h"
#include "recordingcanvas.h"

#include <QSet>
#include <QTest>

namespace {

// Watches the clock and the generator; optionally stops the clock.
class WatchedColours : public RandomColours
{
public:
    float TimeOfDay() override
    {
        ++clockReads;
        return frozenAt ? *frozenAt : RandomColours::TimeOfDay();
    }
    void Reseed(double value) override
    {
        ++reseeds;
        RandomColours::Reseed(value);
    }
    float NextRandom() override
    {
        const float r = RandomColours::NextRandom();
        numbers.append(r);
        return r;
    }

    std::optional<float> frozenAt;
    int clockReads = 0;
    int reseeds = 0;
    QList<float> numbers;
};

struct Drawn
{
    QList<RecordingCanvas::Call> strokes;
    qint64 calls;
    int depth;
};

Drawn drawTriangle(WatchedColours &colours, double d = 100)
{
    RecordingCanvas canvas;
    Figures figures(canvas, colours);
    figures.Treug(50, 0, d);
    return {canvas.calls, figures.counter.calls(), figures.counter.deepest()};
}

// A stroke with a start point as {x1, y1, x2, y2}; one from the current point as {x2, y2}.
void compareStrokes(const QList<RecordingCanvas::Call> &strokes, qsizetype first,
                    const QList<QList<double>> &expected)
{
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto &s = strokes[first + i];
        const QList<double> actual = s.kind == RecordingCanvas::Line
                ? QList<double>{s.a, s.b, s.c, s.d}
                : QList<double>{s.c, s.d};
        QCOMPARE(actual, expected[i]);
    }
}

} // namespace

class TestTriangle : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void stoppingTest();
    void coloursPerDrawingCall();
    void frozenClockStillVaries();
};

void TestTriangle::workedExample()
{
    WatchedColours colours;
    const Drawn drawn = drawTriangle(colours);
    QCOMPARE(drawn.calls, 40);
    QCOMPARE(drawn.depth, 4);
    QCOMPARE(drawn.strokes.size(), 78);

    // Each drawing call's six strokes open with the one from its apex (x, y) to (x + d/2, y + d).
    QList<QList<double>> drawingCalls;
    for (qsizetype i = 0; i < drawn.strokes.size(); i += 6) {
        const auto &first = drawn.strokes[i];
        QCOMPARE(first.kind, RecordingCanvas::Line);
        QCOMPARE(first.c - first.a, (first.d - first.b) / 2);
        drawingCalls.append({first.a, first.b, first.d - first.b});
    }
    // clang-format off
    QCOMPARE(drawingCalls, (QList<QList<double>>{
        {50, 0, 100}, {75, 50, 50}, {87.5, 75, 25}, {62.5, 75, 25}, {75, 50, 25}, {25, 50, 50}, {37.5, 75, 25},
        {12.5, 75, 25}, {25, 50, 25}, {50, 0, 50}, {62.5, 25, 25}, {37.5, 25, 25}, {50, 0, 25}}));

    compareStrokes(drawn.strokes, 0, {
        {50, 0, 100, 100}, {0, 100}, {50, 0}, {25, 50, 75, 50}, {50, 100}, {25, 50},
        {75, 50, 100, 100}, {50, 100}, {75, 50}, {62.5, 75, 87.5, 75}, {75, 100}, {62.5, 75},
    });
    compareStrokes(drawn.strokes, 72, {
        {50, 0, 62.5, 25}, {37.5, 25}, {50, 0}, {43.75, 12.5, 56.25, 12.5}, {50, 25}, {43.75, 12.5},
    });
    // clang-format on
    // The current point is left where the last stroke ended.
    QCOMPARE(QPointF(drawn.strokes.last().c, drawn.strokes.last().d), QPointF(43.75, 12.5));
}

// d = 20 draws and its three calls of d = 10 return at once; 19.99 draws nothing.
void TestTriangle::stoppingTest()
{
    WatchedColours twenty;
    const Drawn drawn = drawTriangle(twenty, 20);
    QCOMPARE(drawn.strokes.size(), 6);
    QCOMPARE(drawn.calls, 4);
    QCOMPARE(twenty.clockReads, 1);
    QCOMPARE(twenty.reseeds, 1);
    QCOMPARE(twenty.numbers.size(), 1);

    WatchedColours under;
    QCOMPARE(drawTriangle(under, 19.99).strokes.size(), 0);
    QCOMPARE(under.clockReads + under.reseeds + int(under.numbers.size()), 0);
}

// One clock read, reseed and number per drawing call, its index shared by its six strokes.
void TestTriangle::coloursPerDrawingCall()
{
    WatchedColours colours;
    const Drawn drawn = drawTriangle(colours);
    QCOMPARE(colours.clockReads, 13);
    QCOMPARE(colours.reseeds, 13);
    QCOMPARE(colours.numbers.size(), 13);
    for (int call = 0; call < 13; ++call) {
        const float r = colours.numbers[call];
        QVERIFY(r >= 0 && r < 1);
        const int index = int(r * 15.0);
        QVERIFY(index >= 0 && index <= 14);
        for (int stroke = 0; stroke < 6; ++stroke)
            QCOMPARE(drawn.strokes[call * 6 + stroke].colour, PaletteColour(index));
    }
}

// Reading one and the same time still gives several colours, and new ones on the next click.
void TestTriangle::frozenClockStillVaries()
{
    WatchedColours colours;
    colours.frozenAt = 43200.5f;
    const auto colourings = [&] {
        QList<QRgb> perCall;
        const Drawn drawn = drawTriangle(colours);
        for (qsizetype i = 0; i < drawn.strokes.size(); i += 6)
            perCall.append(drawn.strokes[i].colour);
        return perCall;
    };
    const QList<QRgb> first = colourings();
    QVERIFY(QSet<QRgb>(first.begin(), first.end()).size() >= 3);
    QVERIFY(colourings() != first);
}

QTEST_APPLESS_MAIN(TestTriangle)
#include "tst_triangle.moc"
