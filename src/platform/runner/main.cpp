// recursion-runner --figures | --verses
// Runs the class's own Python code, read as UTF-8 from standard input, and writes the
// record of its run to standard output as it goes (see recordformat.h). Python's own
// output goes to standard error, never into the record.
#include "failures.h"
#include "lessonapi.h"
#include "recordwriter.h"
#include "sandbox.h"
#include "tracer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <iterator>
#include <malloc.h>
#include <mutex>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

// The code runs on a thread of its own whose stack has room for the deepest recursion
// allowed; reserved, it is not touched beyond what the calls use, but it counts
// against the memory limit.
constexpr std::size_t stackBytes = std::size_t(256) << 20;
// Python's own limit leaves room for comprehensions and lambdas between the code's
// calls, whose depth the trace limits.
constexpr int pythonDepth = 3 * limits::depth + 100;

struct Job
{
    bool figures;
    std::string code;
};

std::mutex mutex;
std::condition_variable started;
bool running = false;
int watchdogLandlock = -1; // the watchdog's own Landlock ABI, once it confined itself
int recordFd = -1;
RecordWriter *recordWriter = nullptr;

// AddressSanitizer reserves far more address space than the memory limit allows, so
// a sanitized runner has no such limit; its allocator refuses the largest requests instead.
#ifdef __SANITIZE_ADDRESS__
constexpr bool addressLimit = false;
extern "C" const char *__asan_default_options()
{
    return "max_allocation_size_mb=1024:allocator_may_return_null=1";
}
#else
constexpr bool addressLimit = true;
#endif

// Closes the box around the process before any of the class's code runs; without
// seccomp the code does not run at all.
void confine()
{
    const int landlock = sandbox::confineThread();
    std::unique_lock lock(mutex);
    started.wait(lock, [] { return watchdogLandlock >= 0; });
    const sandbox::Layers layers
            = sandbox::confineProcess(recordFd, std::min(landlock, watchdogLandlock));
    lock.unlock();
    if (!layers.seccomp)
        tracer::fail(0, {},
                     "Процедура не запущена: нет защиты от опасных действий программы ("
                             + layers.refused + ").");
    // Sent at once: whatever the code may write into the record comes after it.
    recordWriter->putTaggedText(record::Guard, sandbox::describe(layers));
    recordWriter->flush();
}

[[noreturn]] void runCode(const Job &job)
{
    PyConfig config;
    PyConfig_InitIsolatedConfig(&config);
    config.site_import = 0;
    config.write_bytecode = 0;
    const PyStatus status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status))
        tracer::fail(0, {},
                     std::string("Не удалось запустить Python: ")
                             + (status.err_msg ? status.err_msg : "?"));
    Py_SetRecursionLimit(pythonDepth);
    // Ready before the clock starts and the box closes: the code's imports, and the
    // suggestions of the error messages.
    for (const char *module : {"math", "random", "difflib"})
        Py_XDECREF(PyImport_ImportModule(module));
    confine();
    PyObject *fileName = PyUnicode_FromString("<процедура>");
    PyObject *globals = PyDict_New();
    PyObject *builtins = lessonBuiltins(job.figures);
    PyDict_SetItemString(globals, "__name__", PyUnicode_FromString("__main__"));
    PyDict_SetItemString(globals, "__builtins__", builtins);
    if (const auto zero = job.code.find('\0'); zero != std::string::npos) {
        const auto line = 1 + std::count(job.code.begin(), job.code.begin() + zero, '\n');
        tracer::fail(int(line), {}, "Строка " + std::to_string(line) + ": в тексте нулевой символ");
    }
    PyObject *code = Py_CompileStringObject(job.code.c_str(), fileName, Py_file_input, nullptr, -1);
    if (!code) {
        const Failure failure = describeError(globals);
        tracer::fail(failure.line, failure.function, failure.message);
    }
    {
        std::lock_guard lock(mutex);
        running = true;
    }
    started.notify_all();
    tracer::start(fileName, job.code);
    PyObject *result = PyEval_EvalCode(code, globals, globals);
    PyEval_SetTrace(nullptr, nullptr);
    if (result || PyErr_ExceptionMatches(PyExc_SystemExit))
        tracer::end();
    const Failure failure = describeError(globals);
    tracer::fail(failure.line, failure.function, failure.message);
}

void *runThread(void *job)
{
    runCode(*static_cast<const Job *>(job));
}

} // namespace

int main(int argc, char **argv)
{
    const std::string_view program = argc == 2 ? argv[1] : "";
    if (program != "--figures" && program != "--verses") {
        std::cerr << "usage: recursion-runner --figures | --verses  < code.py\n";
        return 2;
    }
    // Nothing the program left open reaches the code: only the code, the record and
    // standard error.
    close_range(3, ~0U, 0);
    recordFd = dup(STDOUT_FILENO);
    static RecordWriter writer(recordFd);
    recordWriter = &writer;
    dup2(STDERR_FILENO, STDOUT_FILENO);
    tracer::prepare(writer);
    static Job job{program == "--figures",
                   std::string(std::istreambuf_iterator<char>(std::cin), {})};

    // One malloc arena: each further one reserves 64 MiB against the limit.
    mallopt(M_ARENA_MAX, 1);
    rlimit memory{};
    getrlimit(RLIMIT_AS, &memory);
    memory.rlim_cur = rlim_t(limits::memoryBytes);
    if (addressLimit)
        setrlimit(RLIMIT_AS, &memory);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    if (pthread_create(&thread, &attributes, runThread, &job) != 0)
        tracer::fail(0, {}, "Не удалось запустить Python: нет памяти для потока.");

    // The watchdog: the code's thread ends the process itself, unless it runs too long.
    const int landlock = sandbox::confineThread();
    std::unique_lock lock(mutex);
    watchdogLandlock = landlock;
    started.notify_all();
    started.wait(lock, [] { return running; });
    lock.unlock();
    // The code's own running time counts, not the machine's load: its thread's processor
    // time, with three times the limit on the clock for code that waits rather than runs.
    clockid_t codeClock{};
    const bool threadClock = pthread_getcpuclockid(thread, &codeClock) == 0;
    const auto ranFor = [&] {
        timespec spent{};
        clock_gettime(codeClock, &spent);
        return double(spent.tv_sec) + double(spent.tv_nsec) / 1e9;
    };
    const auto start = std::chrono::steady_clock::now();
    const auto onClock = [start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    while ((threadClock ? ranFor() : onClock()) < limits::seconds
           && onClock() < 3 * limits::seconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        tracer::askToFlush();
    }
    tracer::askToStop();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    tracer::stopFromOutside();
}
