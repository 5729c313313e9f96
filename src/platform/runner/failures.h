#pragma once

#include "tracer.h"

#include <string>
#include <string_view>

// How a run ended short, told in Russian as the window shows it, naming the line.
struct Failure
{
    int line = 0;
    std::string function; // empty at the top level
    std::string message;
};

// "Строка 7: программа работает дольше 5 секунд и остановлена (функция ris)."
std::string stopMessage(Stop why, int line, std::string_view function);
// "Строка 2: рекурсия не остановилась: 10 000 вложенных вызовов ris. Проверьте условие остановки."
std::string recursionMessage(int line, std::string_view function, int depth);

// The Python error in flight, raised compiling or running the code with these
// globals, told in Russian; clears it.
Failure describeError(PyObject *globals);

// Raises an error of this type whose message is already the system's own Russian text.
PyObject *raiseOwnError(PyObject *type, const std::string &message);
// "3 аргумента", "1 аргумент", "5 аргументов"
std::string argumentCount(long count);
// "от 3 до 4 аргументов", "от 1 до 21 аргумента"
std::string argumentRange(long from, long to);
