#pragma once

#include "recordwriter.h"
#include "values.h"

#include <string>
#include <string_view>

// What ends a run short besides an error in the code, and the limits.
enum class Stop { Time, Memory, Calls, Lines, Record };
namespace limits {
constexpr int seconds = 5;
constexpr long memoryBytes = 1L << 30;
constexpr int depth = 10'000; // nested calls of the code's functions
constexpr std::uint32_t calls = 2'000'000;
constexpr std::uint32_t lines = 30'000'000;
constexpr std::uint64_t recordBytes = 150'000'000;
} // namespace limits

// Records the run of the class's code, compiled under its own file name, through a
// trace function on the thread that runs it: the functions the code defines, their
// calls with arguments, the lines run in them and at the top level, their returns
// with values, and what the code drew or printed. Keeps the limits, each of which
// ends the run at once: the record's last event, then the process's end.
namespace tracer {

// The record's way out, before anything is recorded or fails.
void prepare(RecordWriter &writer);
// Traces the running thread from now on: the code's own code objects bear this file name.
// The code's text tells which lines give a local a value, recorded after each such line.
void start(PyObject *fileName, std::string_view code);
// Whether the code object is the code's own function or its top level (not a
// comprehension, lambda, generator, or code from elsewhere).
bool isOwnFunctionOrTop(PyCodeObject *code);

void shape(float a, float b, float c, float d, std::uint8_t colour, record::ShapeKind kind);
void print(std::string_view text);

// The code ran to its end.
[[noreturn]] void end();
[[noreturn]] void fail(int line, std::string_view function, std::string_view message);
[[noreturn]] void stop(Stop why);
// From the watchdog: asks the running code to send what it recorded so far at its
// next step, so that the program sees a long run as it goes.
void askToFlush();
// From the watchdog: asks the running code to stop at its next step, or, when it
// made none since (a long computation in one step), stops it from outside.
void askToStop();
[[noreturn]] void stopFromOutside();

} // namespace tracer
