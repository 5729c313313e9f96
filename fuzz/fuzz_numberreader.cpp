// libFuzzer target for reading typed text as a number and for the count
// conversion built on it. The first byte picks the locale, the rest is the
// typed text in UTF-8. Any broken property aborts, which the fuzzer reports.
#include "count.h"
#include "numberreader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool property, const char *what)
{
    if (!property) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool sameReading(const NumberReading &a, const NumberReading &b)
{
    return a.status == b.status && std::memcmp(&a.value, &b.value, sizeof a.value) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const QLocale locales[] = {
            QLocale::c(),
            QLocale(QLocale::Russian, QLocale::Russia),
            QLocale(QLocale::German, QLocale::Germany),
            QLocale(QLocale::English, QLocale::UnitedStates),
    };
    const QLocale &locale = locales[data[0] % 4];
    const QString text
            = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const NumberReading reading = readNumber(text, locale);
    require(sameReading(reading, readNumber(text, locale)), "the same text reads the same");
    require(reading.status == NumberReading::Number || reading.status == NumberReading::NotANumber
                    || reading.status == NumberReading::Overflow,
            "a result is a number or one of the two errors");
    if (reading.ok()) {
        require(std::isfinite(reading.value), "a number read is finite");
        const QString printed = QString::number(reading.value, 'g', 17);
        const NumberReading back = readNumber(printed, QLocale::c());
        require(back.ok() && back.value == reading.value, "a number prints back to itself");
    }

    const CountReading count = readCount(text, locale);
    switch (count.status) {
    case CountReading::Count:
        require(reading.ok() && count.value >= 0 && std::abs(count.value - reading.value) <= 0.5,
                "a count is the nearest whole number");
        if (std::abs(count.value - reading.value) == 0.5)
            require(count.value % 2 == 0, "a half rounds to the even count");
        break;
    case CountReading::NotANumber:
        require(reading.status == NumberReading::NotANumber,
                "a count is refused as text only when it is not a number");
        break;
    case CountReading::OutOfRange:
        require(reading.status == NumberReading::Overflow || std::abs(reading.value) >= 32767.5,
                "only counts beyond 16 bits are out of range");
        break;
    case CountReading::Negative:
        require(reading.ok() && reading.value < -0.5, "only counts below zero are negative");
        break;
    }
    return 0;
}
