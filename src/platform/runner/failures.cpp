#include "failures.h"

#include <regex>
#include <string_view>
#include <utility>

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
        return m.str(1) + "() принимает " + argumentRange(std::stol(m.str(2)), std::stol(m.str(3)))
                + ", а " + given(std::stol(m.str(4)));
    if (std::regex_match(message, m, missing)) {
        const long wanted = parametersOf(globals, m.str(1)), left = std::stol(m.str(2));
        if (wanted > 0)
            return m.str(1) + "() принимает " + argumentCount(wanted) + ", а "
                    + given(wanted - left);
        static const std::regex quoted("'([^']*)'");
        return m.str(1) + "(): " + (left == 1 ? "не передан аргумент " : "не переданы аргументы ")
                + std::regex_replace(std::regex_replace(m.str(3), quoted, "«$1»"),
                                     std::regex(",? and "), " и ");
    }
    if (std::regex_match(message, m, keyword))
        return m.str(1) + "(): нет параметра «" + m.str(2) + "»";
    return {};
}

// A Python type as a lesson names it: "целое число" for int, "«set»" for what it does not.
std::string typeWord(std::string_view type)
{
    static const std::pair<std::string_view, std::string_view> words[]
            = {{"int", "целое число"},     {"float", "дробное число"},
               {"str", "строка"},          {"list", "список"},
               {"tuple", "кортеж"},        {"dict", "словарь"},
               {"bool", "True или False"}, {"NoneType", "None"},
               {"function", "функция"},    {"builtin_function_or_method", "функция"},
               {"module", "модуль"}};
    for (const auto &[python, russian] : words)
        if (type == python)
            return std::string(russian);
    return "«" + std::string(type) + "»";
}

// The name among these, nearest scope first, closest to the one mistyped: case aside,
// as alike as difflib finds at least 0.6; a tie goes to the nearer scope. Empty if none.
std::string closestName(PyObject *mistyped, std::initializer_list<PyObject *> scopes)
{
    PyObject *difflib = PyImport_ImportModule("difflib");
    PyObject *matcher
            = difflib ? PyObject_CallMethod(difflib, "SequenceMatcher", nullptr) : nullptr;
    PyObject *lowered = PyObject_CallMethod(mistyped, "lower", nullptr);
    Py_XDECREF(PyObject_CallMethod(matcher, "set_seq2", "O", lowered));
    std::string best;
    double bestRatio = 0.6 - 1e-9;
    for (PyObject *scope : scopes) {
        PyObject *names = scope && PyDict_Check(scope) ? PyDict_Keys(scope)
                : scope                                ? PySequence_List(scope)
                                                       : nullptr;
        for (Py_ssize_t i = 0; matcher && names && i < PyList_GET_SIZE(names); ++i) {
            PyObject *name = PyList_GET_ITEM(names, i);
            if (!PyUnicode_Check(name) || PyUnicode_GET_LENGTH(name) == 0
                || PyUnicode_READ_CHAR(name, 0) == '_' || PyUnicode_Compare(name, mistyped) == 0)
                continue;
            PyObject *candidate = PyObject_CallMethod(name, "lower", nullptr);
            Py_XDECREF(PyObject_CallMethod(matcher, "set_seq1", "O", candidate));
            PyObject *ratio = PyObject_CallMethod(matcher, "ratio", nullptr);
            if (const double alike = ratio ? PyFloat_AsDouble(ratio) : 0; alike > bestRatio) {
                bestRatio = alike;
                best = text(name);
            }
            Py_XDECREF(ratio);
            Py_XDECREF(candidate);
        }
        Py_XDECREF(names);
    }
    PyErr_Clear();
    Py_XDECREF(lowered);
    Py_XDECREF(matcher);
    Py_XDECREF(difflib);
    return best;
}

std::string suggestion(const std::string &name)
{
    return name.empty() ? std::string() : " Возможно, вы имели в виду «" + name + "»?";
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
    std::string said = "имя «" + text(name) + "» не определено."
            + suggestion(closestName(
                    name, {locals, globals, PyDict_GetItemString(globals, "__builtins__")}));
    Py_DECREF(name);
    return said;
}

// "в модуле math нет «sine». Возможно, вы имели в виду «sin»?"
std::string attributeText(PyObject *error)
{
    PyObject *name = PyObject_GetAttrString(error, "name");
    PyObject *owner = PyObject_GetAttrString(error, "obj");
    PyErr_Clear();
    std::string said;
    if (name && owner && PyUnicode_Check(name)) {
        PyObject *names = PyObject_Dir(owner);
        said = (PyModule_Check(owner) ? "в модуле " + std::string(PyModule_GetName(owner))
                                      : "у значения типа " + typeWord(Py_TYPE(owner)->tp_name))
                + " нет «" + text(name) + "»." + suggestion(closestName(name, {names}));
        Py_XDECREF(names);
    } else {
        said = "AttributeError: " + text(error);
    }
    PyErr_Clear();
    Py_XDECREF(name);
    Py_XDECREF(owner);
    return said;
}

// A variable of the function read before the function gave it a value: often a counter
// kept outside that the function means to change.
std::string unboundText(PyObject *error, PyObject *globals)
{
    std::smatch m;
    const std::string said = text(error);
    if (!std::regex_search(said, m, std::regex("'([^']+)'")))
        return "UnboundLocalError: " + said;
    return m.format(PyDict_GetItemString(globals, m.str(1).c_str())
                            ? "переменная «$1» меняется внутри функции, и здесь это своя "
                              "переменная функции, ещё без значения. Чтобы менять внешнюю «$1», "
                              "напишите в начале функции «global $1» или передайте $1 параметром"
                            : "переменная «$1» используется до того, как получила значение");
}

// Python's words on the usual mistakes, in Russian, the first that fits: $1 stands for what
// the pattern caught, %1 for a type it caught, as typeWord() names it.
std::string translated(PyObject *type, const std::string &said)
{
    static const struct
    {
        PyObject *const *type;
        std::regex said;
        const char *russian;
    } table[] = {
            {&PyExc_TabError, std::regex(R"([\s\S]*)"),
             "неверный отступ: в отступах смешаны табуляции и пробелы"},
            {&PyExc_IndentationError, std::regex("expected an indented block.*"),
             "неверный отступ: после строки с «:» ожидается строка с отступом"},
            {&PyExc_IndentationError, std::regex("unexpected indent"),
             "неверный отступ: лишний отступ, строка выше не кончается «:»"},
            {&PyExc_IndentationError, std::regex("unindent does not match.*"),
             "неверный отступ: он не совпадает ни с одним отступом строк выше"},
            {&PyExc_IndentationError, std::regex(R"([\s\S]*)"), "неверный отступ"},
            {&PyExc_SyntaxError, std::regex("expected ':'"), "не хватает двоеточия «:»"},
            {&PyExc_SyntaxError, std::regex("'(.)' was never closed"), "не закрыта скобка «$1»"},
            {&PyExc_SyntaxError, std::regex(R"(([\s\S]*))"), "синтаксическая ошибка: $1"},
            {&PyExc_ZeroDivisionError, std::regex(R"([\s\S]*)"), "деление на ноль"},
            {&PyExc_TypeError,
             std::regex(R"x(can only concatenate str \(not "(int|float)"\) to str)x"),
             "нельзя сложить: строка + %1. Число в строку переводит str(…)"},
            {&PyExc_TypeError, std::regex(R"x(can only concatenate (\w+) \(not "(\w+)"\) to \w+)x"),
             "нельзя сложить: %1 + %2"},
            {&PyExc_TypeError,
             std::regex(R"(unsupported operand type\(s\) for (.+): '(\w+)' and '(\w+)')"),
             "действие «$1» невозможно: %2 и %3"},
            {&PyExc_TypeError, std::regex(R"(bad operand type for unary (.+): '(\w+)')"),
             "действие «$1» невозможно: %2"},
            {&PyExc_TypeError, std::regex(R"('(\w+)' object is not subscriptable)"),
             "квадратные скобки […] неприменимы: здесь %1, а не список или строка"},
            {&PyExc_TypeError, std::regex(R"('(\w+)' object is not callable)"),
             "вызвать можно только функцию, а здесь %1"},
            {&PyExc_TypeError, std::regex(R"(must be real number, not (\w+))"),
             "нужно число, а здесь %1"},
            {&PyExc_TypeError, std::regex(R"('(\w+)' object cannot be interpreted as an integer)"),
             "нужно целое число, а здесь %1"},
            {&PyExc_TypeError, std::regex(R"(\w+ indices must be integers or slices, not (\w+))"),
             "индекс должен быть целым числом, а здесь %1"},
            {&PyExc_TypeError, std::regex(R"(can't multiply sequence by non-int of type '(\w+)')"),
             "строку или список можно умножить только на целое число, а здесь %1"},
            {&PyExc_IndexError, std::regex(R"((\w+)(?: assignment)? index out of range)"),
             "нет элемента с таким индексом: %1 короче"},
            {&PyExc_KeyError, std::regex(R"(([\s\S]+))"), "в словаре нет ключа $1"},
            {&PyExc_ValueError, std::regex("math domain error"),
             "математическая функция не определена для этого числа (корень из отрицательного, "
             "логарифм нуля)"},
            {&PyExc_ValueError, std::regex(R"(invalid literal for int\(\) with base \d+: (.+))"),
             "$1 — не целое число"},
            {&PyExc_ValueError, std::regex("could not convert string to float: (.+)"),
             "$1 — не число"},
            {&PyExc_OverflowError, std::regex(R"([\s\S]*)"), "число слишком велико"},
            {&PyExc_AssertionError, std::regex(""), "проверка assert не выполнена"},
            {&PyExc_AssertionError, std::regex(R"(([\s\S]+))"), "проверка assert не выполнена: $1"},
            // The box refuses every file, process and socket with EPERM.
            {&PyExc_PermissionError, std::regex(R"([\s\S]*)"),
             "программе нельзя работать с файлами, процессами и сетью"},
    };
    std::smatch m;
    for (const auto &t : table) {
        if (!PyErr_GivenExceptionMatches(type, *t.type) || !std::regex_match(said, m, t.said))
            continue;
        std::string russian;
        bool none = false;
        for (const char *at = t.russian; *at; ++at) {
            if ((at[0] != '$' && at[0] != '%') || at[1] < '1' || at[1] > '9') {
                russian += *at;
                continue;
            }
            const bool isType = *at == '%';
            const std::string caught = m.str(std::size_t(*++at - '0'));
            none = none || (isType && caught == "NoneType");
            russian += isType ? typeWord(caught) : caught;
        }
        if (none)
            russian += ". None возвращает функция, которая не дошла до return";
        return russian;
    }
    return {};
}

std::string errorText(PyObject *type, PyObject *error, PyObject *globals, PyObject *locals)
{
    if (PyObject_HasAttrString(error, "lesson_message"))
        return text(error);
    if (type == PyExc_NameError)
        return nameText(error, globals, locals);
    if (PyErr_GivenExceptionMatches(type, PyExc_UnboundLocalError))
        return unboundText(error, globals);
    if (PyErr_GivenExceptionMatches(type, PyExc_AttributeError))
        return attributeText(error);
    const std::string said = text(error);
    if (PyErr_GivenExceptionMatches(type, PyExc_TypeError))
        if (std::string russian = argumentsText(said, globals); !russian.empty())
            return russian;
    if (std::string russian = translated(type, said); !russian.empty())
        return russian;
    const std::string name = reinterpret_cast<PyTypeObject *>(type)->tp_name;
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

std::string argumentRange(long from, long to)
{
    return "от " + std::to_string(from) + " до " + std::to_string(to)
            + (to % 10 == 1 && to % 100 != 11 ? " аргумента" : " аргументов");
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
        PyObject *message = PyObject_GetAttrString(error, "msg");
        PyErr_Clear();
        failure.line = line && PyLong_Check(line) ? int(PyLong_AsLong(line)) : 0;
        failure.message
                = linePrefix(failure.line) + translated(type, text(message ? message : error));
        Py_XDECREF(line);
        Py_XDECREF(message);
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
