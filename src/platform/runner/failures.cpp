#include "failures.h"

#include <regex>

namespace {

std::string linePrefix(int line)
{
    return line > 0 ? "Строка " + std::to_string(line) + ": " : std::string();
}

std::string text(PyObject *object)
{
    PyObject *shown = PyObject_Str(object);
    Py_ssize_t length = 0;
    const char *utf8 = shown ? PyUnicode_AsUTF8AndSize(shown, &length) : nullptr;
    std::string result = utf8 ? std::string(utf8, std::size_t(length)) : "?";
    PyErr_Clear();
    Py_XDECREF(shown);
    return result;
}

std::string given(long count)
{
    return (count % 10 == 1 && count % 100 != 11 ? "передан " : "передано ")
            + std::to_string(count);
}

// The positional parameters of the code's function of that name, or -1 when some may
// be left out or given by keyword only.
long parametersOf(PyObject *globals, const std::string &name)
{
    PyObject *function = PyDict_GetItemString(globals, name.c_str());
    if (!function || !PyFunction_Check(function))
        return -1;
    PyObject *defaults = PyFunction_GetDefaults(function);
    const auto *code = reinterpret_cast<PyCodeObject *>(PyFunction_GetCode(function));
    if ((defaults && PyTuple_GET_SIZE(defaults) > 0) || code->co_kwonlyargcount > 0)
        return -1;
    return code->co_argcount;
}

// Python's words on the arguments of a call, in Russian; empty for other errors.
std::string argumentsText(const std::string &message, PyObject *globals)
{
    static const std::regex takes(
            R"(^(.+)\(\) takes (\d+) positional arguments? but (\d+) (?:was|were) given$)");
    static const std::regex takesRange(
            R"(^(.+)\(\) takes from (\d+) to (\d+) positional arguments but (\d+) were given$)");
    static const std::regex missing(
            R"(^(.+)\(\) missing (\d+) required positional arguments?: (.+)$)");
    static const std::regex keyword(R"(^(.+)\(\) got an unexpected keyword argument '(.+)'$)");
    std::smatch m;
    if (std::regex_match(message, m, takes))
        return m.str(1) + "() принимает " + argumentCount(std::stol(m.str(2))) + ", а "
                + given(std::stol(m.str(3)));
    if (std::regex_match(message, m, takesRange))
        return m.str(1) + "() принимает от " + m.str(2) + " до "
                + argumentCount(std::stol(m.str(3))) + ", а " + given(std::stol(m.str(4)));
    if (std::regex_match(message, m, missing)) {
        const long wanted = parametersOf(globals, m.str(1)), left = std::stol(m.str(2));
        if (wanted > 0)
            return m.str(1) + "() принимает " + argumentCount(wanted) + ", а "
                    + given(wanted - left);
        return m.str(1) + "(): " + (left == 1 ? "не передан аргумент " : "не переданы аргументы ")
                + std::regex_replace(m.str(3), std::regex(" and "), " и ");
    }
    if (std::regex_match(message, m, keyword))
        return m.str(1) + "(): нет параметра «" + m.str(2) + "»";
    return {};
}

std::string syntaxText(PyObject *type, PyObject *error)
{
    if (PyErr_GivenExceptionMatches(type, PyExc_IndentationError))
        return "неверный отступ";
    PyObject *message = PyObject_GetAttrString(error, "msg");
    const std::string said = message ? text(message) : text(error);
    Py_XDECREF(message);
    PyErr_Clear();
    static const std::regex unclosed(R"(^'(.)' was never closed$)");
    std::smatch m;
    if (said == "expected ':'")
        return "не хватает двоеточия «:»";
    if (std::regex_match(said, m, unclosed))
        return "не закрыта скобка «" + m.str(1) + "»";
    return "синтаксическая ошибка: " + said;
}

// "имя «cirle» не определено. Возможно, вы имели в виду «circle»?", with the names
// the code could reach where it failed.
std::string nameText(PyObject *error, PyObject *globals, PyObject *locals)
{
    PyObject *name = PyObject_GetAttrString(error, "name");
    if (!name || !PyUnicode_Check(name)) {
        Py_XDECREF(name);
        PyErr_Clear();
        return "NameError: " + text(error);
    }
    std::string said = "имя «" + text(name) + "» не определено.";
    PyObject *names = PyDict_Keys(globals);
    PyObject *builtins = PyDict_GetItemString(globals, "__builtins__");
    for (PyObject *more : {builtins, locals}) {
        PyObject *keys = more && PyDict_Check(more) ? PyDict_Keys(more) : nullptr;
        for (Py_ssize_t i = 0; keys && i < PyList_GET_SIZE(keys); ++i)
            PyList_Append(names, PyList_GET_ITEM(keys, i));
        Py_XDECREF(keys);
    }
    PyObject *difflib = PyImport_ImportModule("difflib");
    PyObject *close = difflib
            ? PyObject_CallMethod(difflib, "get_close_matches", "OOi", name, names, 1)
            : nullptr;
    if (close && PyList_Check(close) && PyList_GET_SIZE(close) > 0)
        said += " Возможно, вы имели в виду «" + text(PyList_GET_ITEM(close, 0)) + "»?";
    PyErr_Clear();
    Py_XDECREF(close);
    Py_XDECREF(difflib);
    Py_XDECREF(names);
    Py_DECREF(name);
    return said;
}

std::string errorText(PyObject *type, PyObject *error, PyObject *globals, PyObject *locals)
{
    if (PyObject_HasAttrString(error, "lesson_message"))
        return text(error);
    if (type == PyExc_NameError)
        return nameText(error, globals, locals);
    if (PyErr_GivenExceptionMatches(type, PyExc_ZeroDivisionError))
        return "деление на ноль";
    if (PyErr_GivenExceptionMatches(type, PyExc_TypeError))
        if (std::string said = argumentsText(text(error), globals); !said.empty())
            return said;
    const std::string name = reinterpret_cast<PyTypeObject *>(type)->tp_name;
    const std::string said = text(error);
    const std::string shortName = name.substr(name.rfind('.') + 1);
    return said.empty() ? shortName : shortName + ": " + said;
}

} // namespace

std::string argumentCount(long count)
{
    const long tens = count % 100, ones = count % 10;
    const char *word = tens >= 11 && tens <= 14 ? "аргументов"
            : ones == 1                         ? "аргумент"
            : ones >= 2 && ones <= 4            ? "аргумента"
                                                : "аргументов";
    return std::to_string(count) + ' ' + word;
}

std::string stopMessage(Stop why, int line, std::string_view function)
{
    std::string said;
    switch (why) {
    case Stop::Time:
        said = "программа работает дольше " + std::to_string(limits::seconds)
                + " секунд и остановлена";
        break;
    case Stop::Memory:
        said = "не хватило памяти: программе нужно больше 1 ГБ, и она остановлена";
        break;
    case Stop::Calls:
        said = "сделано " + groupedNumber(limits::calls)
                + " вызовов функций, больше нельзя: программа остановлена";
        break;
    case Stop::Lines:
        said = "выполнено " + groupedNumber(limits::lines)
                + " строк, больше нельзя: программа остановлена";
        break;
    case Stop::Record:
        said = "запись выполнения превысила " + std::to_string(limits::recordBytes / 1'000'000)
                + " МБ: программа остановлена";
        break;
    }
    if (!function.empty())
        said += " (функция " + std::string(function) + ')';
    return linePrefix(line) + said + '.';
}

std::string recursionMessage(int line, std::string_view function, int depth)
{
    return linePrefix(line) + "рекурсия не остановилась: " + groupedNumber(depth)
            + " вложенных вызовов " + std::string(function) + ". Проверьте условие остановки.";
}

Failure describeError(PyObject *globals)
{
    PyObject *type = nullptr, *error = nullptr, *traceback = nullptr;
    PyErr_Fetch(&type, &error, &traceback);
    PyErr_NormalizeException(&type, &error, &traceback);
    Failure failure;
    if (PyErr_GivenExceptionMatches(type, PyExc_SyntaxError)) {
        PyObject *line = PyObject_GetAttrString(error, "lineno");
        failure.line = line && PyLong_Check(line) ? int(PyLong_AsLong(line)) : 0;
        Py_XDECREF(line);
        PyErr_Clear();
        failure.message = linePrefix(failure.line) + syntaxText(type, error);
    } else {
        // The innermost of the code's own functions, or its top level, where it failed.
        PyFrameObject *where = nullptr;
        for (auto *step = reinterpret_cast<PyTracebackObject *>(traceback); step;
             step = step->tb_next) {
            PyCodeObject *code = PyFrame_GetCode(step->tb_frame);
            if (tracer::isOwnFunctionOrTop(code)) {
                where = step->tb_frame;
                failure.line = step->tb_lineno;
                const std::string name = PyUnicode_AsUTF8(code->co_name);
                failure.function = name == "<module>" ? std::string() : name;
            }
            Py_DECREF(code);
        }
        PyObject *locals = where && !failure.function.empty() ? PyFrame_GetLocals(where) : nullptr;
        failure.message = linePrefix(failure.line) + errorText(type, error, globals, locals);
        Py_XDECREF(locals);
    }
    Py_XDECREF(type);
    Py_XDECREF(error);
    Py_XDECREF(traceback);
    return failure;
}

PyObject *raiseOwnError(PyObject *type, const std::string &message)
{
    PyObject *error = PyObject_CallFunction(type, "s", message.c_str());
    if (error) {
        PyObject_SetAttrString(error, "lesson_message", Py_True);
        PyErr_SetObject(type, error);
        Py_DECREF(error);
    }
    return nullptr;
}
