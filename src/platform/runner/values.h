#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstddef>
#include <string>
#include <string_view>

// Writes a value as the window shows it: numbers the Russian way ("13,33", "30"),
// True and False, a string as Python's repr, anything else by its repr; at most 30
// characters, the 30th being "…" when cut. Returns the bytes of UTF-8 written to out,
// which holds record::maxValueBytes.
std::size_t writeValue(PyObject *value, char *out);

// A count with no-break spaces between groups of three digits: "10 000".
std::string groupedNumber(long long number);

// The name a line of code gives a value to ("x2 = x + r", "n += 1") as a new string, or
// null for a line that gives none ("x == y", "f(a=1)", "x[0] = 1").
PyObject *assignedName(std::string_view line);
