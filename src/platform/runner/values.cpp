#include "values.h"
#include "recordformat.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t maxCharacters = 30;
static_assert(4 * maxCharacters <= record::maxValueBytes);

// Bytes up to the start of the character at this index, or the text's length.
std::size_t bytesBefore(std::string_view text, std::size_t characters)
{
    std::size_t at = 0;
    for (; at < text.size() && characters > 0; --characters)
        do
            ++at;
        while (at < text.size() && (std::uint8_t(text[at]) & 0xc0) == 0x80);
    return at;
}

std::size_t writeCut(std::string_view text, char *out)
{
    // Thirty characters of four bytes each fill the value's room exactly.
    if (bytesBefore(text, maxCharacters) == text.size()) {
        std::memcpy(out, text.data(), text.size());
        return text.size();
    }
    const std::size_t kept = bytesBefore(text, maxCharacters - 1);
    constexpr std::string_view ellipsis = "…";
    std::memcpy(out, text.data(), kept);
    std::memcpy(out + kept, ellipsis.data(), ellipsis.size());
    return kept + ellipsis.size();
}

// At most two decimals, no trailing zeros, a decimal comma, and "-0" as "0".
std::string russianNumber(double number)
{
    if (!std::isfinite(number))
        return std::isnan(number) ? "nan" : number > 0 ? "inf" : "-inf";
    char text[400];
    const auto written
            = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed, 2);
    std::string result(text, written.ptr);
    while (result.back() == '0')
        result.pop_back();
    if (result.back() == '.')
        result.pop_back();
    else
        result[result.find('.')] = ',';
    return result == "-0" ? "0" : result;
}

void appendRepr(PyObject *value, std::string &text, std::size_t limit);

// A list's or a tuple's repr, no further than the limit: a long list costs no more than a short
// one.
void appendSequence(PyObject *sequence, std::string &text, std::size_t limit)
{
    const bool list = PyList_Check(sequence);
    text += list ? '[' : '(';
    const Py_ssize_t length = list ? PyList_GET_SIZE(sequence) : PyTuple_GET_SIZE(sequence);
    for (Py_ssize_t i = 0; i < length && text.size() <= limit; ++i) {
        if (i > 0)
            text += ", ";
        appendRepr(list ? PyList_GET_ITEM(sequence, i) : PyTuple_GET_ITEM(sequence, i), text,
                   limit);
    }
    if (!list && length == 1)
        text += ',';
    text += list ? ']' : ')';
}

void appendRepr(PyObject *value, std::string &text, std::size_t limit)
{
    if (text.size() > limit)
        return;
    if (PyList_CheckExact(value) || PyTuple_CheckExact(value)) {
        appendSequence(value, text, limit);
        return;
    }
    PyObject *shown = nullptr;
    if (PyUnicode_Check(value) && PyUnicode_GET_LENGTH(value) > Py_ssize_t(limit)) {
        // A long string's repr begins as the repr of its beginning does.
        PyObject *start = PyUnicode_Substring(value, 0, Py_ssize_t(limit));
        shown = start ? PyObject_Repr(start) : nullptr;
        Py_XDECREF(start);
    } else {
        shown = PyObject_Repr(value);
    }
    Py_ssize_t length = 0;
    const char *utf8 = shown ? PyUnicode_AsUTF8AndSize(shown, &length) : nullptr;
    if (utf8)
        text.append(utf8, std::size_t(length));
    else
        text += '?';
    PyErr_Clear();
    Py_XDECREF(shown);
}

} // namespace

std::size_t writeValue(PyObject *value, char *out)
{
    if (PyLong_CheckExact(value)) {
        int overflow = 0;
        const long long number = PyLong_AsLongLongAndOverflow(value, &overflow);
        if (!overflow)
            return writeCut(std::to_string(number), out);
        PyErr_Clear();
    }
    if (PyFloat_CheckExact(value))
        return writeCut(russianNumber(PyFloat_AS_DOUBLE(value)), out);
    std::string text;
    appendRepr(value, text, 4 * maxCharacters);
    return writeCut(text, out);
}

std::string groupedNumber(long long number)
{
    std::string digits = std::to_string(number);
    for (auto at = std::ptrdiff_t(digits.size()) - 3; at > (number < 0 ? 1 : 0); at -= 3)
        digits.insert(std::size_t(at), "\u00a0");
    return digits;
}

// "x2 = …" or "n += …" gives x2 or n a value; "x == y", "f(a=1)" and "x[0] = 1" do not.
PyObject *assignedName(std::string_view line)
{
    std::size_t at = line.find_first_not_of(" \t");
    const std::size_t start = at;
    while (at < line.size()
           && (std::isalnum(static_cast<unsigned char>(line[at])) || line[at] == '_'))
        ++at;
    if (start == std::string_view::npos || at == start
        || std::isdigit(static_cast<unsigned char>(line[start])))
        return nullptr;
    const std::string_view name = line.substr(start, at - start);
    at = line.find_first_not_of(" \t", at);
    if (at != std::string_view::npos
        && std::string_view("+-*/%").find(line[at]) != std::string_view::npos)
        at += line.substr(at, 2) == "//" || line.substr(at, 2) == "**" ? 2 : 1;
    if (at >= line.size() || line[at] != '=' || line.substr(at, 2) == "==")
        return nullptr;
    return PyUnicode_FromStringAndSize(name.data(), Py_ssize_t(name.size()));
}
