#include "numberreader.h"

#include <charconv>
#include <string>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the trimmed text once and copies the number into the plain ASCII
// form that std::from_chars reads ("-123.45e-6").
class Scanner
{
public:
    Scanner(const QString &text, const QLocale &locale)
        : text(text), separator(locale.decimalPoint()),
          dotAsWell(separator != u"." && locale.groupSeparator() != u".")
    { }

    bool scan()
    {
        takeSign();
        const qsizetype wholeDigits = takeMantissaDigits(false);
        const qsizetype fractionDigits = takeSeparator() ? takeMantissaDigits(true) : 0;
        if (wholeDigits + fractionDigits == 0)
            return false;
        if (take(u'e') || take(u'E')) {
            ascii += 'e';
            const bool negative = takeSign();
            if (takeExponentDigits() == 0)
                return false;
            if (negative)
                exponent = -exponent;
        }
        return pos == text.size();
    }

    std::string ascii;
    // The number lies in [10^(magnitude + exponent - 1), 10^(magnitude + exponent)):
    // magnitude is counted from the mantissa ("120" gives 3, "0.05" gives -1),
    // exponent is the written one, clamped far beyond any double.
    long long magnitude = 0;
    long long exponent = 0;
    bool nonZero = false;

private:
    bool take(char16_t c)
    {
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }

    bool takeSign()
    {
        if (take(u'+'))
            return false;
        if (!take(u'-'))
            return false;
        ascii += '-';
        return true;
    }

    qsizetype takeMantissaDigits(bool afterSeparator)
    {
        const qsizetype start = pos;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            const char digit = char(text[pos].unicode());
            ascii += digit;
            if (nonZero && !afterSeparator) {
                ++magnitude;
            } else if (!nonZero && digit != '0') {
                nonZero = true;
                magnitude = afterSeparator ? -(pos - start) : 1;
            }
        }
        return pos - start;
    }

    bool takeSeparator()
    {
        if (QStringView(text).sliced(pos).startsWith(separator))
            pos += separator.size();
        else if (!(dotAsWell && take(u'.')))
            return false;
        ascii += '.';
        return true;
    }

    qsizetype takeExponentDigits()
    {
        const qsizetype start = pos;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) {
            ascii += char(text[pos].unicode());
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (text[pos].unicode() - u'0');
        }
        return pos - start;
    }

    const QString &text;
    const QString separator;
    const bool dotAsWell;
    qsizetype pos = 0;
};

} // namespace

NumberReading readNumber(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    Scanner scanner(trimmed, locale);
    if (!scanner.scan())
        return {NumberReading::NotANumber, 0};

    double value = 0;
    const char *first = scanner.ascii.data();
    const char *last = first + scanner.ascii.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        // from_chars says this both for too large and for too small;
        // a number too small for a double reads as zero.
        if (scanner.nonZero && scanner.magnitude + scanner.exponent > 0)
            return {NumberReading::Overflow, 0};
        return {NumberReading::Number, scanner.ascii.front() == '-' ? -0.0 : 0.0};
    }
    if (error != std::errc() || end != last)
        return {NumberReading::NotANumber, 0};
    return {NumberReading::Number, value};
}

QString quotedInput(const QString &text)
{
    constexpr int limit = 40;
    // Counts characters, not UTF-16 units, so a cut never splits a surrogate pair.
    qsizetype units = 0;
    for (int characters = 0; units < text.size() && characters < limit; ++characters)
        units += text[units].isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    if (units == text.size())
        return text;
    return text.first(units) + u'…';
}
