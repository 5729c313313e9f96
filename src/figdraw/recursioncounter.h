#pragma once

#include "calltrace.h"
#include "canvas.h"

// Counts, for the lesson, how a figure was drawn: every entry of the
// procedure (those that return at the stopping test included), the deepest
// nesting (the first call being 1) and the shapes drawn. While a trace is
// attached, each call with its arguments goes into it as well.
class RecursionCounter
{
public:
    // Lives as long as one invocation of a figure procedure.
    class Call
    {
    public:
        Call(RecursionCounter &counter, QStringView signature, double a, double b, double c)
            : counter(counter)
        {
            ++counter.calls_;
            if (++counter.depth_ > counter.deepest_)
                counter.deepest_ = counter.depth_;
            if (counter.trace)
                counter.trace->enter(signature, counter.depth_, float(a), float(b), float(c));
        }
        ~Call() { --counter.depth_; }
        Call(const Call &) = delete;
        Call &operator=(const Call &) = delete;

    private:
        RecursionCounter &counter;
    };

    // signature names the procedure and its arguments: "Ris1(x, y, r)".
    [[nodiscard]] Call enter(QStringView signature, double a, double b, double c)
    {
        return {*this, signature, a, b, c};
    }
    void shapeDrawn()
    {
        ++shapes_;
        if (trace)
            trace->drew();
    }
    void reset()
    {
        CallTrace *const keep = trace;
        *this = RecursionCounter();
        trace = keep;
    }

    // The counts of a recursion that ran elsewhere.
    static RecursionCounter made(qint64 calls, int deepest, qint64 shapes)
    {
        RecursionCounter counts;
        counts.calls_ = calls;
        counts.deepest_ = deepest;
        counts.shapes_ = shapes;
        return counts;
    }

    // Where the calls go as well, or nullptr.
    CallTrace *trace = nullptr;

    qint64 calls() const { return calls_; }
    int depth() const { return depth_; }
    int deepest() const { return deepest_; }
    qint64 shapes() const { return shapes_; }

private:
    qint64 calls_ = 0;
    int depth_ = 0;
    int deepest_ = 0;
    qint64 shapes_ = 0;
};

// Passes every drawing on to another canvas and tells the counter of each shape.
class CountingCanvas final : public Canvas
{
public:
    CountingCanvas(Canvas &target, RecursionCounter &counter)
        : target(&target), counter(counter) { }

    void passTo(Canvas &canvas) { target = &canvas; }

    void SetScale(qint16 x1, qint16 y1, qint16 x2, qint16 y2) override
    {
        target->SetScale(x1, y1, x2, y2);
    }
    void DrawLine(float x1, float y1, float x2, float y2, QRgb colour) override
    {
        counter.shapeDrawn();
        target->DrawLine(x1, y1, x2, y2, colour);
    }
    void DrawLine(float x2, float y2, QRgb colour) override
    {
        counter.shapeDrawn();
        target->DrawLine(x2, y2, colour);
    }
    void DrawCircle(float cx, float cy, float radius, QRgb colour) override
    {
        counter.shapeDrawn();
        target->DrawCircle(cx, cy, radius, colour);
    }
    void ClearCanvas() override { target->ClearCanvas(); }

private:
    Canvas *target;
    RecursionCounter &counter;
};
