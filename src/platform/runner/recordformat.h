#pragma once

#include <cstddef>
#include <cstdint>

// The record recursion-runner writes on its standard output while the class's own code
// runs, read by the program as it comes. Each event is a tag byte and its fields. A
// number is an unsigned LEB128 varint; a text is a number of bytes and that much UTF-8;
// a value (as the window writes it, at most 30 characters) is one byte of length and
// its UTF-8.
//  'G' guard:    text: which layers of the box hold ("Защита: seccomp, Landlock 7"); first
//  'F' function: name, parameter count, each parameter's name (numbered 0, 1, ... in order)
//  'C' call:     function, the arguments' bytes, the arguments (values one after another)
//  'L' line:     number
//  'R' return:   value (length 0 for None, or for a call an exception left)
//  'V' value:    value: what the current call's last line ("x2 = …") gave its local
//  'S' shape:    a, b, c, d as float32 (both ends run on one machine), colour, kind bytes
//  'P' print:    text (what one print call wrote, its end included)
//  'X' failure:  line (0 for none), function (empty at the top level), message; the last
//  'E' end:      the code ran to its end; the last event
// A record that stops before 'X' or 'E' comes from a runner that died.
namespace record {

enum Tag : char {
    Guard = 'G',
    Function = 'F',
    Call = 'C',
    Line = 'L',
    Return = 'R',
    Value = 'V',
    Shape = 'S',
    Print = 'P',
    Failure = 'X',
    End = 'E'
};
enum class ShapeKind : std::uint8_t { Line, LineOn, Circle, Scale };

constexpr std::size_t maxValueBytes = 30 * 4;
constexpr std::size_t shapeBytes = 1 + 4 * 4 + 2;
constexpr std::size_t maxNumberBytes = 5;

inline char *putNumber(char *out, std::uint32_t number)
{
    while (number >= 0x80) {
        *out++ = char(number | 0x80);
        number >>= 7;
    }
    *out++ = char(number);
    return out;
}

// Reads a number, moving at past it; false when the bytes end before it does.
inline bool getNumber(const char *&at, const char *end, std::uint32_t &number)
{
    number = 0;
    for (int shift = 0; at < end && shift < 35; shift += 7) {
        const auto byte = std::uint8_t(*at++);
        number |= std::uint32_t(byte & 0x7f) << shift;
        if (byte < 0x80)
            return true;
    }
    return false;
}

} // namespace record
