#include "lessonapi.h"
#include "failures.h"
#include "tracer.h"

#include <array>
#include <cmath>
#include <string>

namespace {

PyObject *pythonImport = nullptr;

// Takes a builtin's arguments, positional or by name, into values in the order of
// names; the first `required` must be given. False with the error raised.
template<std::size_t N>
bool takeArguments(const char *function, const std::array<const char *, N> &names,
                   std::size_t required, PyObject *const *arguments, Py_ssize_t count,
                   PyObject *keywords, std::array<PyObject *, N> &values)
{
    const std::string name = std::string(function) + "()";
    const Py_ssize_t given = count + (keywords ? PyTuple_GET_SIZE(keywords) : 0);
    if (count > Py_ssize_t(N) || given > Py_ssize_t(N)) {
        const std::string wanted
                = required == N ? argumentCount(long(N)) : argumentRange(long(required), long(N));
        raiseOwnError(PyExc_TypeError,
                      name + " принимает " + wanted + ", а передано " + std::to_string(given));
        return false;
    }
    values.fill(nullptr);
    for (Py_ssize_t i = 0; i < count; ++i)
        values[std::size_t(i)] = arguments[i];
    for (Py_ssize_t k = 0; keywords && k < PyTuple_GET_SIZE(keywords); ++k) {
        const char *keyword = PyUnicode_AsUTF8(PyTuple_GET_ITEM(keywords, k));
        std::size_t at = 0;
        while (at < N && std::string_view(names[at]) != keyword)
            ++at;
        if (at == N || values[at]) {
            raiseOwnError(PyExc_TypeError,
                          at == N ? name + ": нет параметра «" + keyword + "»"
                                  : name + ": аргумент " + keyword + " передан дважды");
            return false;
        }
        values[at] = arguments[count + k];
    }
    for (std::size_t i = 0; i < required; ++i)
        if (!values[i]) {
            raiseOwnError(PyExc_TypeError, name + ": не передан аргумент " + names[i]);
            return false;
        }
    return true;
}

// The shape's numbers as float32 and its colour, 0 to 15; false with the error raised.
template<std::size_t N>
bool shapeNumbers(const char *function, const std::array<const char *, N> &names,
                  const std::array<PyObject *, N> &values, std::size_t numbers, float *out,
                  int &colour)
{
    for (std::size_t i = 0; i < numbers; ++i) {
        const std::string named = std::string(function) + "(): " + names[i];
        const double number = PyFloat_AsDouble(values[i]);
        if (number == -1.0 && PyErr_Occurred()) {
            const bool tooLarge = PyErr_ExceptionMatches(PyExc_OverflowError);
            PyErr_Clear();
            raiseOwnError(PyExc_TypeError,
                          named + (tooLarge ? " — слишком большое число" : " должно быть числом"));
            return false;
        }
        out[i] = float(number);
        if (!std::isfinite(out[i])) {
            raiseOwnError(PyExc_ValueError,
                          named
                                  + (std::isfinite(number) ? " — слишком большое число"
                                                           : " должно быть конечным числом"));
            return false;
        }
    }
    if (numbers < N && values[numbers]) {
        PyObject *given = values[numbers];
        const bool whole = PyLong_Check(given) && !PyBool_Check(given);
        const long number = whole ? PyLong_AsLong(given) : -1;
        PyErr_Clear();
        if (number < 0 || number > 15) {
            raiseOwnError(PyExc_ValueError,
                          whole ? "цвет должен быть от 0 до 15"
                                : "цвет должен быть целым числом от 0 до 15");
            return false;
        }
        colour = int(number);
    }
    return true;
}

PyObject *circle(PyObject *, PyObject *const *arguments, Py_ssize_t count, PyObject *keywords)
{
    static const std::array<const char *, 4> names{"x", "y", "r", "colour"};
    std::array<PyObject *, 4> values;
    float n[3];
    int colour = 5;
    if (!takeArguments("circle", names, 3, arguments, count, keywords, values)
        || !shapeNumbers("circle", names, values, 3, n, colour))
        return nullptr;
    tracer::shape(n[0], n[1], n[2], 0, std::uint8_t(colour), record::ShapeKind::Circle);
    Py_RETURN_NONE;
}

PyObject *line(PyObject *, PyObject *const *arguments, Py_ssize_t count, PyObject *keywords)
{
    static const std::array<const char *, 5> names{"x1", "y1", "x2", "y2", "colour"};
    std::array<PyObject *, 5> values;
    float n[4];
    int colour = 9;
    if (!takeArguments("line", names, 4, arguments, count, keywords, values)
        || !shapeNumbers("line", names, values, 4, n, colour))
        return nullptr;
    tracer::shape(n[0], n[1], n[2], n[3], std::uint8_t(colour), record::ShapeKind::Line);
    Py_RETURN_NONE;
}

PyObject *lineTo(PyObject *, PyObject *const *arguments, Py_ssize_t count, PyObject *keywords)
{
    static const std::array<const char *, 3> names{"x", "y", "colour"};
    std::array<PyObject *, 3> values;
    float n[2];
    int colour = 9;
    if (!takeArguments("line_to", names, 2, arguments, count, keywords, values)
        || !shapeNumbers("line_to", names, values, 2, n, colour))
        return nullptr;
    tracer::shape(0, 0, n[0], n[1], std::uint8_t(colour), record::ShapeKind::LineOn);
    Py_RETURN_NONE;
}

PyObject *scale(PyObject *, PyObject *const *arguments, Py_ssize_t count, PyObject *keywords)
{
    static const std::array<const char *, 4> names{"x1", "y1", "x2", "y2"};
    std::array<PyObject *, 4> values;
    float n[4];
    int colour = 0;
    if (!takeArguments("scale", names, 4, arguments, count, keywords, values)
        || !shapeNumbers("scale", names, values, 4, n, colour))
        return nullptr;
    // The canvas's coordinate system has whole corners, as the figure buttons set them.
    for (float corner : n)
        if (corner != std::trunc(corner) || std::abs(corner) > 32767)
            return raiseOwnError(PyExc_ValueError,
                                 "scale(): углы должны быть целыми числами "
                                 "от -32767 до 32767");
    // Corners on one line would leave the canvas no room to map onto.
    if (n[0] == n[2] || n[1] == n[3])
        return raiseOwnError(PyExc_ValueError,
                             "scale(): углы (x1, y1) и (x2, y2) должны "
                             "различаться и по x, и по y");
    tracer::shape(n[0], n[1], n[2], n[3], 0, record::ShapeKind::Scale);
    Py_RETURN_NONE;
}

// Python's print, whose text goes into the record as print writes it: the items' str()
// joined by sep, then end.
PyObject *print(PyObject *, PyObject *const *arguments, Py_ssize_t count, PyObject *keywords)
{
    PyObject *separator = nullptr, *end = nullptr;
    for (Py_ssize_t k = 0; keywords && k < PyTuple_GET_SIZE(keywords); ++k) {
        const std::string_view keyword = PyUnicode_AsUTF8(PyTuple_GET_ITEM(keywords, k));
        PyObject *value = arguments[count + k];
        if (keyword == "sep" || keyword == "end") {
            if (value != Py_None && !PyUnicode_Check(value))
                return raiseOwnError(PyExc_TypeError,
                                     "print(): " + std::string(keyword) + " должен быть строкой");
            (keyword == "sep" ? separator : end) = value == Py_None ? nullptr : value;
        } else if (keyword != "file" && keyword != "flush") {
            return raiseOwnError(PyExc_TypeError,
                                 "print(): нет параметра «" + std::string(keyword) + "»");
        }
    }
    PyObject *parts = PyList_New(count);
    for (Py_ssize_t i = 0; parts && i < count; ++i) {
        PyObject *part = PyObject_Str(arguments[i]);
        if (!part) {
            Py_DECREF(parts);
            return nullptr;
        }
        PyList_SET_ITEM(parts, i, part);
    }
    PyObject *space = PyUnicode_FromString(" "), *newline = PyUnicode_FromString("\n");
    PyObject *joined = parts ? PyUnicode_Join(separator ? separator : space, parts) : nullptr;
    PyObject *line = joined ? PyUnicode_Concat(joined, end ? end : newline) : nullptr;
    for (PyObject *used : {parts, space, newline, joined})
        Py_XDECREF(used);
    PyObject *bytes = line ? PyUnicode_AsEncodedString(line, "utf-8", "backslashreplace") : nullptr;
    Py_XDECREF(line);
    if (!bytes)
        return nullptr;
    const std::string_view text(PyBytes_AS_STRING(bytes), std::size_t(PyBytes_GET_SIZE(bytes)));
    tracer::print(text);
    Py_DECREF(bytes);
    Py_RETURN_NONE;
}

// The code runs with no one at the keyboard to answer.
PyObject *refusedInput(PyObject *self, PyObject *const *, Py_ssize_t)
{
    return raiseOwnError(
            PyExc_RuntimeError,
            std::string("программа не может спрашивать ")
                    + (self == Py_True ? "во время рисования" : "во время записи стихов")
                    + ": задайте число в тексте программы");
}

PyObject *restrictedImport(PyObject *, PyObject *arguments, PyObject *keywords)
{
    PyObject *name = PyTuple_Size(arguments) > 0 ? PyTuple_GET_ITEM(arguments, 0) : nullptr;
    PyObject *level = PyTuple_Size(arguments) > 4 ? PyTuple_GET_ITEM(arguments, 4) : nullptr;
    if (keywords && !level)
        level = PyDict_GetItemString(keywords, "level");
    const std::string module = name && PyUnicode_Check(name) ? PyUnicode_AsUTF8(name) : "?";
    const bool absolute = !level || PyLong_AsLong(level) == 0;
    if (absolute && (module == "math" || module == "random"))
        return PyObject_Call(pythonImport, arguments, keywords);
    return raiseOwnError(PyExc_ImportError,
                         "модуль «" + std::string(absolute ? "" : ".") + module
                                 + "» недоступен: можно импортировать только math и random.");
}

PyMethodDef drawing[] = {{"circle", PyCFunction(reinterpret_cast<void (*)()>(circle)),
                          METH_FASTCALL | METH_KEYWORDS, "circle(x, y, r, colour=5)"},
                         {"line", PyCFunction(reinterpret_cast<void (*)()>(line)),
                          METH_FASTCALL | METH_KEYWORDS, "line(x1, y1, x2, y2, colour=9)"},
                         {"line_to", PyCFunction(reinterpret_cast<void (*)()>(lineTo)),
                          METH_FASTCALL | METH_KEYWORDS, "line_to(x, y, colour=9)"},
                         {"scale", PyCFunction(reinterpret_cast<void (*)()>(scale)),
                          METH_FASTCALL | METH_KEYWORDS, "scale(x1, y1, x2, y2)"},
                         {nullptr, nullptr, 0, nullptr}};
PyMethodDef always[]
        = {{"print", PyCFunction(reinterpret_cast<void (*)()>(print)),
            METH_FASTCALL | METH_KEYWORDS, "print(*values, sep=' ', end='\\n')"},
           {"__import__", PyCFunction(reinterpret_cast<void (*)()>(restrictedImport)),
            METH_VARARGS | METH_KEYWORDS, "__import__(name, ...): math and random only"},
           {"input", PyCFunction(reinterpret_cast<void (*)()>(refusedInput)), METH_FASTCALL,
            "input(prompt): refused, the code runs with no one to answer"},
           {nullptr, nullptr, 0, nullptr}};

} // namespace

PyObject *lessonBuiltins(bool figures)
{
    PyObject *builtins = PyDict_Copy(PyEval_GetBuiltins());
    pythonImport = PyDict_GetItemString(builtins, "__import__");
    Py_INCREF(pythonImport);
    for (PyMethodDef *table : {always, figures ? drawing : nullptr})
        for (PyMethodDef *method = table; method && method->ml_name; ++method) {
            PyObject *function = PyCFunction_New(method, figures ? Py_True : Py_False);
            PyDict_SetItemString(builtins, method->ml_name, function);
            Py_DECREF(function);
        }
    return builtins;
}
