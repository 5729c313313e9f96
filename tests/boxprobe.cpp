// boxprobe LAYERS TARGETS...: closes the runner's box around itself, with the layers
// named ("landlock", "seccomp" or "both"), then tries each forbidden action on its target
// and writes one line for each: "name: allowed" or "name: refused". It refuses to try
// anything when a layer asked for cannot be set, and says "no box". A target is
// "name=value": files, a folder to create in, a TCP port on 127.0.0.1, an abstract Unix
// socket's name, or a process to signal (never a process group).
#include "sandbox.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool connectTcp(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return s >= 0 && connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
}

bool connectAbstract(const std::string &name)
{
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return s >= 0 && connect(s, reinterpret_cast<sockaddr *>(&address), length) == 0;
}

bool forkAndWait()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    return child > 0 && waitpid(child, nullptr, 0) == child;
}

bool attempt(const std::string &name, const std::string &value)
{
    if (name == "read")
        return open(value.c_str(), O_RDONLY) >= 0;
    if (name == "create")
        return open((value + "/escaped").c_str(), O_WRONLY | O_CREAT, 0600) >= 0;
    if (name == "remove")
        return unlink(value.c_str()) == 0;
    if (name == "rename")
        return rename(value.c_str(), (value + ".moved").c_str()) == 0;
    if (name == "tcp")
        return connectTcp(std::stoi(value));
    if (name == "abstract")
        return connectAbstract(value);
    if (name == "signal")
        return kill(pid_t(std::stoi(value)), SIGUSR1) == 0;
    if (name == "fork")
        return forkAndWait();
    if (name == "exec") {
        char *const arguments[] = {const_cast<char *>(value.c_str()), nullptr};
        execv(value.c_str(), arguments);
        return false;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string layers = argc > 1 ? argv[1] : "";
    const bool landlock = layers == "landlock" || layers == "both";
    const bool seccomp = layers == "seccomp" || layers == "both";
    const int abi = landlock ? sandbox::confineThread() : 0;
    const bool boxed = (!landlock || abi > 0)
            && (!seccomp || sandbox::confineProcess(STDOUT_FILENO, abi).seccomp);
    if (!boxed || (!landlock && !seccomp)) {
        std::puts("no box");
        return 2;
    }
    std::printf("landlock: %d\n", abi);
    for (int i = 2; i < argc; ++i) {
        const std::string target = argv[i];
        const auto equals = target.find('=');
        const std::string name = target.substr(0, equals);
        const bool allowed = attempt(name, target.substr(equals + 1));
        std::printf("%s: %s\n", name.c_str(), allowed ? "allowed" : "refused");
        std::fflush(stdout);
    }
    return 0;
}
