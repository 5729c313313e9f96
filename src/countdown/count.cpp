#include "count.h"

#include "numberreader.h"

#include <cmath>
#include <limits>

CountReading readCount(const QString &text, const QLocale &locale)
{
    const NumberReading reading = readNumber(text, locale);
    if (reading.status == NumberReading::NotANumber)
        return {CountReading::NotANumber, 0};
    if (reading.status == NumberReading::Overflow)
        return {CountReading::OutOfRange, 0};
    const double rounded
            = std::nearbyint(reading.value); // ties to even in the default rounding mode
    if (rounded < std::numeric_limits<qint16>::min()
        || rounded > std::numeric_limits<qint16>::max())
        return {CountReading::OutOfRange, 0};
    if (rounded < 0)
        return {CountReading::Negative, 0};
    return {CountReading::Count, qint16(rounded)};
}
