#include "sandbox.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sandbox {

namespace {

// Landlock's interface as the kernel defines it, newer than the system's headers may be.
struct RulesetAttributes
{
    std::uint64_t handledFiles;
    std::uint64_t handledNetwork; // from ABI 4
    std::uint64_t scoped;         // from ABI 6
};
constexpr std::uint32_t askVersion = 1u << 0;

// Every access to files the ABI knows: execute, write, read, read a folder, remove a
// folder or a file, make any kind of node (ABI 1), link or rename across folders (2),
// truncate (3), ioctl on devices (5).
std::uint64_t fileAccesses(int abi)
{
    std::uint64_t all = (1u << 13) - 1;
    if (abi >= 2)
        all |= 1u << 13;
    if (abi >= 3)
        all |= 1u << 14;
    if (abi >= 5)
        all |= 1u << 15;
    return all;
}
constexpr std::uint64_t tcpBindAndConnect = 0b11;         // ABI 4
constexpr std::uint64_t abstractSocketsAndSignals = 0b11; // ABI 6

int landlockAbi()
{
    const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, askVersion);
    return abi > 0 ? int(abi) : 0;
}

// The descriptors open now are all there may ever be: the highest one's number plus one.
rlim_t openDescriptors()
{
    int highest = 2;
    for (int fd = 3; fd < 1024; ++fd)
        if (fcntl(fd, F_GETFD) != -1)
            highest = fd;
    return rlim_t(highest) + 1;
}

bool limit(int resource, rlim_t value)
{
    const rlimit both{value, value};
    return setrlimit(resource, &both) == 0;
}

// The system calls computing needs; each other call fails with EPERM.
constexpr std::array allowed{
        SCMP_SYS(brk),
        SCMP_SYS(mmap),
        SCMP_SYS(munmap),
        SCMP_SYS(mremap),
        SCMP_SYS(mprotect),
        SCMP_SYS(madvise),
        SCMP_SYS(futex),
        SCMP_SYS(sched_yield),
        SCMP_SYS(sched_getaffinity),
        SCMP_SYS(getpid),
        SCMP_SYS(gettid),
        SCMP_SYS(clock_gettime),
        SCMP_SYS(clock_getres),
        SCMP_SYS(gettimeofday),
        SCMP_SYS(time),
        SCMP_SYS(nanosleep),
        SCMP_SYS(clock_nanosleep),
        SCMP_SYS(getrandom),
        SCMP_SYS(rt_sigaction),
        SCMP_SYS(rt_sigprocmask),
        SCMP_SYS(rt_sigreturn),
        SCMP_SYS(sigaltstack),
        SCMP_SYS(restart_syscall),
        SCMP_SYS(exit),
        SCMP_SYS(exit_group),
        SCMP_SYS(close),
        SCMP_SYS(fstat),
        SCMP_SYS(lseek),
        SCMP_SYS(getrlimit),
        SCMP_SYS(getrusage),
        SCMP_SYS(times),
        SCMP_SYS(sysinfo),
};

bool loadAllowlist(int recordFd)
{
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(EPERM));
    if (!filter)
        return false;
    bool ok = seccomp_attr_set(filter, SCMP_FLTATR_CTL_TSYNC, 1) == 0;
    for (const int call : allowed)
        ok = ok && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0;
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO, recordFd})
        for (const int call : {SCMP_SYS(write), SCMP_SYS(writev)})
            ok = ok
                    && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1,
                                        SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(fd)))
                            == 0;
    // Signals to itself only (abort(), a thread of its own); limits read, never raised.
    const auto self = scmp_datum_t(getpid());
    ok = ok
            && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(kill), 1,
                                SCMP_A0(SCMP_CMP_EQ, self))
                    == 0
            && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1,
                                SCMP_A0(SCMP_CMP_EQ, self))
                    == 0
            && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(prlimit64), 2,
                                SCMP_A0(SCMP_CMP_EQ, 0), SCMP_A2(SCMP_CMP_EQ, 0))
                    == 0;
    ok = ok && seccomp_load(filter) == 0;
    seccomp_release(filter);
    return ok;
}

} // namespace

int confineThread()
{
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return 0;
    const int abi = landlockAbi();
    if (abi == 0)
        return 0;
    RulesetAttributes attributes{fileAccesses(abi), abi >= 4 ? tcpBindAndConnect : 0,
                                 abi >= 6 ? abstractSocketsAndSignals : 0};
    const std::size_t size = abi >= 6 ? sizeof attributes
            : abi >= 4                ? 2 * sizeof(std::uint64_t)
                                      : sizeof(std::uint64_t);
    // No rule is added: nothing of what the ruleset handles is allowed.
    const long ruleset = syscall(SYS_landlock_create_ruleset, &attributes, size, 0);
    if (ruleset < 0)
        return 0;
    const bool restricted = syscall(SYS_landlock_restrict_self, int(ruleset), 0) == 0;
    close(int(ruleset));
    return restricted ? abi : 0;
}

Layers confineProcess(int recordFd, int landlockAbi)
{
    Layers layers;
    layers.landlock = landlockAbi;
    // A write past the limit fails with EFBIG rather than ending the runner.
    std::signal(SIGXFSZ, SIG_IGN);
    const bool limited = limit(RLIMIT_FSIZE, 0) && limit(RLIMIT_CORE, 0) && limit(RLIMIT_NPROC, 0)
            && limit(RLIMIT_NOFILE, openDescriptors());
    if (!limited)
        layers.refused = "не удалось ограничить файлы и процессы";
    else if (!loadAllowlist(recordFd))
        layers.refused = "ядро не позволило включить seccomp";
    layers.seccomp = layers.refused.empty();
    return layers;
}

std::string describe(const Layers &layers)
{
    std::string text = "Защита: seccomp";
    if (layers.landlock > 0)
        text += ", Landlock " + std::to_string(layers.landlock);
    return text;
}

} // namespace sandbox
