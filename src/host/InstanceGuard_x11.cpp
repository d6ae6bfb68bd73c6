// The single-instance guard on Linux.
//
// Implements: a system-wide name held for the life of the process, like the
// named event K_OPENGL_SCREENSAVER on Windows: an abstract UNIX socket
// address (Linux only). The kernel releases it when the process ends, however
// it ends; no file is left behind.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include "host/CommandLine.h"

bool CCommandLine::IsFirstInstance() {
    static const char kName[] = "K_OPENGL_SCREENSAVER";
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true;  // no guard to be had: run unguarded
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A leading NUL puts the name in the abstract namespace.
    std::memcpy(address.sun_path + 1, kName, sizeof kName - 1);
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + sizeof kName - 1);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
        return true;  // the socket stays open, holding the name, until exit
    }
    const bool taken = errno == EADDRINUSE;
    close(fd);
    return !taken;
}
