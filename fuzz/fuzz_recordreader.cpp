// libFuzzer target for reading recursion-runner's record, which the class's own code
// can write anything into. The first byte sets the size of the parts the bytes come
// in, the rest is the record. Any broken property aborts, which the fuzzer reports.
#include "recordreader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool property, const char *what)
{
    if (!property) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Reads the record in parts of the size given, then reads back all the run holds.
struct Outcome
{
    bool ended, damaged;
    qint32 calls;
    qsizetype events, shapes, printed;
};

Outcome readInParts(QByteArrayView bytes, qsizetype part)
{
    OwnRun run(QString(u'\n').repeated(40)); // lines 1 to 41
    RecordReader reader(run);
    for (qsizetype at = 0; at < bytes.size() && !reader.ended(); at += part)
        reader.take(bytes.sliced(at, std::min(part, bytes.size() - at)));
    run.finish();
    require(reader.damaged() == !reader.damage().isEmpty(), "damage comes with its reason");

    for (qint32 call = 0; call < run.trace().calls(); ++call) {
        const int function = run.function(call);
        require(run.arguments(call).size() <= run.parameters(function).size(),
                "no more arguments than parameters");
        require(!run.callText(call).isEmpty(), "every call has its text");
        require(run.result(call).size() <= 120, "a value is short");
        require(run.callEvent(call) <= run.returnEvent(call), "a call returns after it is made");
        require(run.returnEvent(call) <= run.events(), "a call returns within the run");
    }
    for (qsizetype at = 0; at < run.events(); ++at) {
        require(run.callAt(at) < run.trace().calls(), "each event belongs to a call made");
        if (run.event(at) == OwnRun::Event::Line)
            require(run.payload(at) >= 1 && run.payload(at) <= 41, "lines are the code's");
        if (run.event(at) == OwnRun::Event::Output)
            require(run.outputAt(at) < (run.printedAt(at) ? run.printed().size()
                                                          : qsizetype(run.shapes().size())),
                    "each output is kept");
    }
    if (run.events() > 0) {
        const OwnRun::Outputs outputs = run.outputsUpTo(run.events() - 1);
        require(outputs.shapes <= qsizetype(run.shapes().size())
                        && outputs.printed <= run.printed().size(),
                "the outputs up to the end are the run's");
    }
    return {reader.ended(),
            reader.damaged(),
            run.trace().calls(),
            run.events(),
            qsizetype(run.shapes().size()),
            run.printed().size()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView record(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const Outcome whole = readInParts(record, std::max<qsizetype>(record.size(), 1));
    const Outcome inParts = readInParts(record, 1 + data[0] % 16);
    require(whole.ended == inParts.ended && whole.damaged == inParts.damaged
                    && whole.calls == inParts.calls && whole.events == inParts.events
                    && whole.shapes == inParts.shapes && whole.printed == inParts.printed,
            "the record reads the same however its bytes come");
    return 0;
}
