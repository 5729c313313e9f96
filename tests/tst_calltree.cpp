// The drawn tree of calls as data: its layout, what folds, how calls are counted, and
// which calls repeat.
#include "callrepeats.h"
#include "calltreedrawing.h"
#include "calltreefolds.h"
#include "tidytree.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

// A trace of a procedure of one argument, call by call: each call's depth and argument.
CallTrace traceOf(const std::vector<std::pair<int, float>> &calls)
{
    CallTrace trace;
    for (const auto &[depth, argument] : calls)
        trace.enter(u"f(n)", depth, argument);
    return trace;
}

// fib(n) = fib(n - 1) + fib(n - 2), stopping at n < 2.
void fib(std::vector<std::pair<int, float>> &calls, int n, int depth = 1)
{
    calls.emplace_back(depth, float(n));
    if (n >= 2) {
        fib(calls, n - 1, depth + 1);
        fib(calls, n - 2, depth + 1);
    }
}

// The parents of a tree, in preorder, of so many children a level (a complete tree).
std::vector<qint32> complete(int children, int levels)
{
    std::vector<qint32> parent{-1};
    std::function<void(qint32, int)> grow = [&](qint32 node, int level) {
        for (int c = 0; level > 1 && c < children; ++c) {
            parent.push_back(node);
            grow(qint32(parent.size() - 1), level - 1);
        }
    };
    grow(0, levels);
    return parent;
}

// A subtree of the tree from the node, hung under a node of another tree.
void graft(std::vector<qint32> &into, qint32 under, const std::vector<qint32> &tree)
{
    const auto base = qint32(into.size());
    for (size_t v = 0; v < tree.size(); ++v)
        into.push_back(v == 0 ? under : tree[v] + base);
}

} // namespace

class TestCallTree : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void folding();
    void repeats();
};

void TestCallTree::layout_data()
{
    QTest::addColumn<std::vector<qint32>>("parent");
    QTest::newRow("one call") << std::vector<qint32>{-1};
    std::vector<qint32> chain{-1};
    for (qint32 v = 1; v < 10000; ++v)
        chain.push_back(v - 1);
    QTest::newRow("10 000 nested calls") << chain;
    std::vector<qint32> wide(60, 0);
    wide[0] = -1;
    QTest::newRow("59 calls of one") << wide;
    QTest::newRow("snowflake of 5 levels") << complete(4, 5);
    // Two equal subtrees apart, a deep one between them, and a leaf each side.
    std::vector<qint32> apart{-1, 0};
    graft(apart, 0, complete(3, 3));
    graft(apart, 0, {-1, 0, 1, 1, 0, 4, 4, 4});
    graft(apart, 0, complete(3, 3));
    apart.push_back(0);
    QTest::newRow("equal subtrees apart") << apart;
    for (int seed = 1; seed <= 30; ++seed) {
        QRandomGenerator random{quint32(seed)};
        std::vector<qint32> parent{-1};
        for (int v = 1; v < 200; ++v) // each node under the last one or one of its callers
            for (qint32 up = qint32(v - 1);; up = parent[size_t(up)])
                if (up == 0 || random.bounded(3) == 0) {
                    parent.push_back(up);
                    break;
                }
        QTest::addRow("random tree %d", seed) << parent;
    }
}

// Parents centred, each level in order a slot apart at least, equal subtrees alike.
void TestCallTree::layout()
{
    QFETCH(std::vector<qint32>, parent);
    const std::vector<double> x = tidyTree(parent);
    QCOMPARE(x.size(), parent.size());
    QCOMPARE(*std::min_element(x.begin(), x.end()), 0.0);
    std::vector<qint32> depth(parent.size()), first(parent.size(), -1), last(parent.size(), -1);
    std::vector<qint32> lastAtDepth(parent.size(), -1);
    for (size_t v = 0; v < parent.size(); ++v) {
        const qint32 up = parent[v];
        depth[v] = up < 0 ? 0 : depth[size_t(up)] + 1;
        if (up >= 0 && first[size_t(up)] < 0)
            first[size_t(up)] = qint32(v);
        if (up >= 0)
            last[size_t(up)] = qint32(v);
        if (const qint32 before = lastAtDepth[size_t(depth[v])]; before >= 0)
            QVERIFY2(x[v] - x[size_t(before)] >= 1 - 1e-9, qPrintable(QString::number(v)));
        lastAtDepth[size_t(depth[v])] = qint32(v);
    }
    for (size_t v = 0; v < parent.size(); ++v)
        if (first[v] >= 0)
            QCOMPARE(x[v], (x[size_t(first[v])] + x[size_t(last[v])]) / 2);
    if (QByteArray(QTest::currentDataTag()) == "equal subtrees apart") {
        const size_t a = 2, b = a + complete(3, 3).size() + 8, size = complete(3, 3).size();
        for (size_t v = 0; v < size; ++v)
            QCOMPARE(x[a + v] - x[a], x[b + v] - x[b]);
    }
}

// The default opens as many levels as fit; the callers of the current call stay open; a
// folded call counts the calls below it; the user's folds hold until the trace is new.
void TestCallTree::folding()
{
    std::vector<std::pair<int, float>> calls;
    fib(calls, 10);
    const CallTrace trace = traceOf(calls);
    QCOMPARE(subtreeCalls(trace, 0, trace.calls() - 1), trace.calls());
    QCOMPARE(subtreeCalls(trace, 1, trace.calls() - 1), 109); // fib(9)
    QCOMPARE(subtreeCalls(trace, 1, 5), 5);                   // up to the sixth call made
    // A first call's calls end where the next first call starts.
    QCOMPARE(subtreeCalls(traceOf({{1, 2}, {2, 1}, {1, 3}}), 0, 2), 2);

    CallTreeFolds folds;
    folds.reset(trace.calls());
    folds.fitDefault(trace, trace.calls() - 1, 4, 100); // levels of 1, 2, 4, 8 calls
    QCOMPARE(folds.defaultDepth(), 2);
    DrawnCalls drawn = folds.shown(trace, trace.calls() - 1, -1);
    QCOMPARE(drawn.call, (std::vector<qint32>{-1, 0, 1, 2, 69, 110, 111, 152}));
    QCOMPARE(drawn.folded, (std::vector<bool>{false, false, false, true, true, false, true, true}));
    QCOMPARE(drawn.x, (std::vector<double>{1.5, 1.5, 0.5, 0, 1, 2.5, 2, 3}));
    QCOMPARE(drawn.nodeOf(3), -1);                            // inside a folded call
    QCOMPARE(folds.shown(trace, 2, -1).folded.back(), false); // its calls not made yet
    folds.fitDefault(trace, trace.calls() - 1, 3, 100);
    QCOMPARE(folds.defaultDepth(), 1);
    folds.fitDefault(trace, trace.calls() - 1, 1000, 3); // three levels high
    QCOMPARE(folds.defaultDepth(), 2);

    folds.fitDefault(trace, trace.calls() - 1, 2, 100); // the first call open
    const qint32 deep = 9;                              // fib(1) under nine callers
    drawn = folds.shown(trace, deep, deep);
    QCOMPARE(drawn.levels, 10);
    QCOMPARE(drawn.nodeOf(deep), 10);
    QVERIFY(!drawn.folded[10]);
    folds.fold(0);
    QCOMPARE(folds.shown(trace, 20, -1).size(), 2);
    QVERIFY(folds.shown(trace, 20, -1).folded[1]);
    folds.openAll(trace, 0);
    QCOMPARE(folds.shown(trace, trace.calls() - 1, -1).size(), trace.calls() + 1);
    folds.foldAll(trace, 1);
    QCOMPARE(folds.shown(trace, trace.calls() - 1, -1).size(), 1 + 1 + 1 + 67);
    folds.reset(trace.calls());
    QCOMPARE(folds.shown(trace, trace.calls() - 1, -1).size(), 4);

    const std::pair<qint32, const char16_t *> counts[]{
            {1, u"1 вызов"},       {3, u"3 вызова"},
            {5, u"5 вызовов"},     {11, u"11 вызовов"},
            {14, u"14 вызовов"},   {21, u"21 вызов"},
            {112, u"112 вызовов"}, {1364, u"1\u00a0364 вызова"}};
    for (const auto &[count, text] : counts)
        QCOMPARE(callsCount(count), QString::fromUtf16(text));
}

// fib(20) repeats all but its 21 first calls; a procedure of other arguments repeats none.
void TestCallTree::repeats()
{
    std::vector<std::pair<int, float>> calls;
    fib(calls, 20);
    const CallTrace trace = traceOf(calls);
    QCOMPARE(trace.calls(), 21891);
    CallRepeats repeats;
    repeats.find(trace);
    QCOMPARE(repeats.countUpTo(trace.calls() - 1), 21870);
    QCOMPARE(repeats.countUpTo(20), 0); // fib(20), fib(19), ..., fib(0) first
    QCOMPARE(repeats.earlier(21), 19);  // fib(1) under fib(2), first made under fib(2) before
    QCOMPARE(repeats.earlier(20), -1);
    QCOMPARE(trace.text(21), trace.text(19));
    const CallTrace distinct = traceOf({{1, 3}, {2, 2}, {3, 1}, {2, -0.f}, {2, 0.f}});
    repeats.find(distinct);
    QCOMPARE(repeats.countUpTo(4), 1);
    QCOMPARE(repeats.earlier(4), 3);
    // Calls of two arguments are the same only where both are, however many share one.
    CallTrace pairs;
    for (int b = 0; b < 1000; ++b)
        pairs.enter(u"f(a, b)", b == 0 ? 1 : 2, 1, float(b));
    repeats.find(pairs);
    QCOMPARE(repeats.countUpTo(999), 0);
    // The class's own functions: a thousand of them called with the same arguments.
    CallTrace own;
    own.setNames({{}, {}, {}, {}, [](qint32 call) {
                      return std::pair{int(call), QByteArrayView("1")};
                  }});
    for (int call = 0; call < 1000; ++call)
        own.enter(1);
    repeats.find(own);
    QCOMPARE(repeats.countUpTo(999), 0);
}

QTEST_GUILESS_MAIN(TestCallTree)
#include "tst_calltree.moc"
