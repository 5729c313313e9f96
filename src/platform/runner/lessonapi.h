#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

// The builtins the class's code runs with: Python's own, print recording what it
// prints, an import that lets in math and random only, and for the figures circle,
// line, line_to and scale drawing into the record. A new dictionary.
PyObject *lessonBuiltins(bool figures);
