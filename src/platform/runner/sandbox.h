#pragma once

#include <string>

// The box the class's code runs in, set up by the runner itself once Python and the
// modules the runner needs are loaded and before the first line of the code: the code
// may compute, take memory, read clocks and random numbers, signal its own process and
// write the record and standard error; it may not open, create, remove or rename a
// file, start a process, reach the network or signal anyone else. Forbidden system
// calls fail with EPERM, so Python goes on where it can (os.system returns -1).
//
// Layers, each on its own: no new privileges; Landlock at the best ABI the kernel has
// (files, then TCP from ABI 4, then signals and abstract Unix sockets from ABI 6);
// resource limits (no file may grow, no core, no process, no further descriptor);
// and a seccomp allowlist on every thread.
namespace sandbox {

// Landlock on the calling thread only: each of the runner's threads calls it, the
// code's thread first. Returns the Landlock ABI in force on this thread, 0 for none.
int confineThread();

struct Layers
{
    int landlock = 0;     // the ABI in force on every thread, 0 for none
    bool seccomp = false; // the allowlist, on every thread
    std::string refused;  // why seccomp could not be set, when it could not
};

// The limits and the seccomp allowlist, on every thread; after confineThread() on each.
// recordFd is the only descriptor besides standard output and error that may be written.
Layers confineProcess(int recordFd, int landlockAbi);

// "Защита: seccomp, Landlock 7", as the program tells it.
std::string describe(const Layers &layers);

} // namespace sandbox
