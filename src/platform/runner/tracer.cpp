#include "tracer.h"
#include "failures.h"

#include <atomic>
#include <cstring>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

// A call's arguments are read straight from the frame's fast locals: asking for the
// frame's locals would build a dictionary at every call.
#if PY_VERSION_HEX >= 0x030B0000 && PY_VERSION_HEX < 0x030C0000
#    define Py_BUILD_CORE 1
#    include <internal/pycore_frame.h>
#    define FAST_LOCALS 1
#endif

namespace tracer {
namespace {

constexpr int maxParameters = 64;

// What a frame is: the code's function of that number, or one of these.
enum Kind : int { Top = -1, OwnOther = -2, Foreign = -3 };

struct Function
{
    std::string name;
    PyObject *parameterNames; // a tuple, for reading arguments from the locals
    int parameters;
};
struct Frame
{
    PyFrameObject *frame;
    int kind;
    int line;      // its line running, for the code's functions and top level
    int enclosing; // the index of the nearest function or top level under it, or -1
};

RecordWriter *writer = nullptr;
PyObject *ownFileName = nullptr;
std::unordered_map<PyCodeObject *, int> kinds;
std::vector<Function> functions;
std::vector<Frame> frames;
int current = -1; // the innermost frame of a function or the top level
int depth = 0;    // the code's functions' calls running
std::uint32_t calls = 0, lines = 0;
int leftByException = 0; // returns not yet recorded: the exception may end the run
// The top level's line, recorded only once it calls, draws or prints: a loop there that
// does none of it leaves nothing to show, and runs until the time limit.
int topLine = 0;
// What the watchdog asks of the running code at its next step.
enum Ask : int { Nothing, Flush, StopNow };
std::atomic<int> asked = Nothing;
// Where the run stands, for the watchdog as well.
std::atomic<int> whereLine = 0, whereFunction = Top;
// By line number, the name a line of the code gives a value to ("x2 = x + r"), or null.
std::vector<PyObject *> assignedNames;

int lookUpKind(PyCodeObject *code)
{
    if (const auto known = kinds.find(code); known != kinds.end())
        return known->second;
    int kind = Foreign;
    if (code->co_filename == ownFileName
        || PyUnicode_Compare(code->co_filename, ownFileName) == 0) {
        const char *name = PyUnicode_AsUTF8(code->co_name);
        const int generators = CO_GENERATOR | CO_COROUTINE | CO_ASYNC_GENERATOR;
        if (std::strcmp(name, "<module>") == 0)
            kind = Top;
        else if (name[0] == '<' || !(code->co_flags & CO_OPTIMIZED)
                 || (code->co_flags & generators))
            kind = OwnOther;
        else
            kind = int(functions.size());
    }
    Py_INCREF(code); // the pointer stays this code's for the whole run
    kinds.emplace(code, kind);
    if (kind >= 0) {
        PyObject *names = PyCode_GetVarnames(code);
        const int count = std::min(code->co_argcount, maxParameters);
        functions.push_back({PyUnicode_AsUTF8(code->co_name), names, count});
        std::string event(1, record::Function);
        char number[record::maxNumberBytes];
        const auto putText = [&](std::string_view text) {
            event.append(number, record::putNumber(number, std::uint32_t(text.size())));
            event += text;
        };
        putText(functions.back().name);
        event.append(number, record::putNumber(number, std::uint32_t(count)));
        for (int i = 0; i < count; ++i)
            putText(PyUnicode_AsUTF8(PyTuple_GET_ITEM(names, i)));
        std::memcpy(writer->reserve(event.size()), event.data(), event.size());
        writer->commit(writer->reserve(0) + event.size());
    }
    return kind;
}

int kindOf(PyCodeObject *code)
{
    static PyCodeObject *lastCode = nullptr; // a recursion calls one function over and over
    static int lastKind = Foreign;
    if (code == lastCode)
        return lastKind;
    lastCode = code;
    lastKind = lookUpKind(code);
    return lastKind;
}

std::string functionName(int kind)
{
    return kind >= 0 ? functions[std::size_t(kind)].name : std::string();
}

// Before an event of these many bytes at most, so that none, however long, takes the record
// past the limit.
void checkRecordSize(std::size_t coming)
{
    if (writer->bytes() + coming > limits::recordBytes)
        stop(Stop::Record);
}

void putLine(int line)
{
    char *out = writer->reserve(1 + record::maxNumberBytes);
    *out = record::Line;
    writer->commit(record::putNumber(out + 1, std::uint32_t(line)));
}

// The value the previous line of a function's frame gave its local, after that line ran.
void recordAssigned(PyFrameObject *frame, int line)
{
    if (line <= 0 || std::size_t(line) >= assignedNames.size() || !assignedNames[std::size_t(line)])
        return;
    PyObject *locals = PyFrame_GetLocals(frame); // built only after such a line
    PyObject *value = locals ? PyDict_GetItem(locals, assignedNames[std::size_t(line)]) : nullptr;
    if (!locals)
        PyErr_Clear();
    if (value) {
        checkRecordSize(2 + record::maxValueBytes);
        char *out = writer->reserve(2 + record::maxValueBytes);
        out[0] = record::Value;
        const std::size_t length = writeValue(value, out + 2);
        out[1] = char(length);
        writer->commit(out + 2 + length);
    }
    Py_XDECREF(locals);
}

// The returns of calls an exception left, once the exception is known to be caught,
// and the top level's line, which counts among the lines run.
void recordReturnsLeft()
{
    for (; leftByException > 0; --leftByException) {
        char *out = writer->reserve(2);
        out[0] = record::Return;
        out[1] = 0;
        writer->commit(out + 2);
    }
    if (topLine > 0) {
        if (lines == limits::lines)
            stop(Stop::Lines);
        ++lines;
        putLine(std::exchange(topLine, 0));
    }
}

void recordCall(PyFrameObject *frame, int function)
{
    const Function &f = functions[std::size_t(function)];
    char arguments[maxParameters * (1 + record::maxValueBytes)];
    char *at = arguments;
    for (int i = 0; i < f.parameters; ++i) {
#ifdef FAST_LOCALS
        PyObject *value = frame->f_frame->localsplus[i];
        if (value && PyCell_Check(value))
            value = PyCell_GET(value);
#else
        PyObject *locals = PyFrame_GetLocals(frame);
        PyObject *value
                = locals ? PyDict_GetItem(locals, PyTuple_GET_ITEM(f.parameterNames, i)) : nullptr;
        Py_XDECREF(locals);
#endif
        const std::size_t length = value ? writeValue(value, at + 1) : 0;
        *at = char(length);
        at += 1 + length;
    }
    const auto length = std::size_t(at - arguments);
    char *out = writer->reserve(1 + 2 * record::maxNumberBytes + length);
    *out++ = record::Call;
    out = record::putNumber(out, std::uint32_t(function));
    out = record::putNumber(out, std::uint32_t(length));
    std::memcpy(out, arguments, length);
    writer->commit(out + length);
}

void enterFrame(PyFrameObject *frame)
{
    PyCodeObject *code = PyFrame_GetCode(frame);
    const int kind = kindOf(code);
    Py_DECREF(code);
    if (kind >= 0) {
        recordReturnsLeft();
        if (depth == limits::depth)
            fail(whereLine, functionName(whereFunction),
                 recursionMessage(whereLine, functions[std::size_t(kind)].name, depth));
        if (calls == limits::calls)
            stop(Stop::Calls);
        ++depth;
        ++calls;
        checkRecordSize(1 + 2 * record::maxNumberBytes
                        + std::size_t(functions[std::size_t(kind)].parameters)
                                * (1 + record::maxValueBytes));
        recordCall(frame, kind);
    }
    frames.push_back({frame, kind, 0, current});
    if (kind >= 0 || kind == Top) {
        current = int(frames.size()) - 1;
        whereFunction.store(kind, std::memory_order_relaxed);
        whereLine.store(0, std::memory_order_relaxed);
    }
}

void recordLine(PyFrameObject *frame)
{
    if (current < 0 || frames[std::size_t(current)].frame != frame)
        return; // a comprehension's, a lambda's or a library's line
    const int line = PyFrame_GetLineNumber(frame);
    const int previous = std::exchange(frames[std::size_t(current)].line, line);
    whereLine.store(line, std::memory_order_relaxed);
    if (frames[std::size_t(current)].kind == Top) {
        topLine = line;
        return;
    }
    recordReturnsLeft();
    recordAssigned(frame, previous);
    if (lines == limits::lines)
        stop(Stop::Lines);
    ++lines;
    checkRecordSize(1 + record::maxNumberBytes);
    putLine(line);
}

void leaveFrame(PyObject *value)
{
    if (frames.empty())
        return;
    const Frame left = frames.back();
    frames.pop_back();
    if (left.kind < 0 && left.kind != Top)
        return;
    current = left.enclosing;
    const Frame *now = current >= 0 ? &frames[std::size_t(current)] : nullptr;
    whereFunction.store(now ? now->kind : Top, std::memory_order_relaxed);
    whereLine.store(now ? now->line : 0, std::memory_order_relaxed);
    if (left.kind < 0)
        return;
    --depth;
    if (!value) {
        ++leftByException;
        return;
    }
    recordReturnsLeft();
    recordAssigned(left.frame, left.line);
    char *out = writer->reserve(2 + record::maxValueBytes);
    out[0] = record::Return;
    const std::size_t length = value == Py_None ? 0 : writeValue(value, out + 2);
    out[1] = char(length);
    writer->commit(out + 2 + length);
}

int traceEvent(PyObject *, PyFrameObject *frame, int what, PyObject *argument)
{
    if (int ask = asked.load(std::memory_order_relaxed); ask != Nothing) {
        if (ask == StopNow)
            stop(Stop::Time);
        if (asked.compare_exchange_strong(ask, Nothing))
            writer->flush();
    }
    switch (what) {
    case PyTrace_CALL:
        enterFrame(frame);
        break;
    case PyTrace_LINE:
        recordLine(frame);
        break;
    case PyTrace_RETURN:
        leaveFrame(argument);
        break;
    case PyTrace_EXCEPTION: {
        // Neither can be caught by the code: a bare except would go on past the limit.
        PyObject *type = PyTuple_GET_ITEM(argument, 0);
        if (PyErr_GivenExceptionMatches(type, PyExc_MemoryError))
            stop(Stop::Memory);
        if (PyErr_GivenExceptionMatches(type, PyExc_RecursionError))
            fail(whereLine, functionName(whereFunction),
                 recursionMessage(whereLine, functionName(whereFunction), depth));
        break;
    }
    }
    return 0;
}

} // namespace

void prepare(RecordWriter &recordWriter)
{
    writer = &recordWriter;
}

void start(PyObject *fileName, std::string_view code)
{
    ownFileName = fileName;
    assignedNames.push_back(nullptr); // lines count from 1
    for (std::size_t from = 0; from <= code.size();) {
        const std::size_t end = std::min(code.find('\n', from), code.size());
        assignedNames.push_back(assignedName(code.substr(from, end - from)));
        from = end + 1;
    }
    frames.reserve(4 * std::size_t(limits::depth));
    PyEval_SetTrace(traceEvent, nullptr);
}

bool isOwnFunctionOrTop(PyCodeObject *code)
{
    const int kind = kindOf(code);
    return kind >= 0 || kind == Top;
}

void shape(float a, float b, float c, float d, std::uint8_t colour, record::ShapeKind kind)
{
    recordReturnsLeft();
    checkRecordSize(record::shapeBytes);
    char *out = writer->reserve(record::shapeBytes);
    *out++ = record::Shape;
    for (float number : {a, b, c, d}) {
        std::memcpy(out, &number, sizeof number);
        out += sizeof number;
    }
    *out++ = char(colour);
    *out++ = char(kind);
    writer->commit(out);
}

void print(std::string_view text)
{
    recordReturnsLeft();
    checkRecordSize(1 + record::maxNumberBytes + text.size());
    writer->putTaggedText(record::Print, text);
}

void end()
{
    recordReturnsLeft();
    *writer->reserve(1) = record::End;
    writer->commit(writer->reserve(0) + 1);
    writer->flush();
    _exit(0);
}

void fail(int line, std::string_view function, std::string_view message)
{
    const std::string event = failureEvent(line, function, message);
    std::memcpy(writer->reserve(event.size()), event.data(), event.size());
    writer->commit(writer->reserve(0) + event.size());
    writer->flush();
    _exit(0);
}

void stop(Stop why)
{
    const int line = whereLine, function = whereFunction;
    fail(line, functionName(function), stopMessage(why, line, functionName(function)));
}

void askToFlush()
{
    int nothing = Nothing;
    asked.compare_exchange_strong(nothing, Flush);
}

void askToStop()
{
    asked = StopNow;
}

void stopFromOutside()
{
    const int line = whereLine, function = whereFunction;
    const std::string name = functionName(function);
    writer->endFromOutside(failureEvent(line, name, stopMessage(Stop::Time, line, name)));
    _exit(0);
}

} // namespace tracer
