// Opening a web address on Linux with xdg-open, through fork and exec.
// Implements: the search of PATH, a detached child (double fork) so the
// About window never waits for the browser.
// Lacks: any report of a browser that fails later; like a failing
// ShellExecuteA on Windows, that is ignored.
#include "about/OpenAddress.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

std::string FindProgramOnPath(const std::string& name, const std::string& path) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(':', start);
        std::string folder = path.substr(start, end == std::string::npos ? end : end - start);
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

bool OpenWebAddress(const char* address) {
    const char* path = std::getenv("PATH");
    const std::string program = FindProgramOnPath("xdg-open", path != nullptr ? path : "");
    if (program.empty()) return false;

    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        // The intermediate child ends at once, so the opener is adopted by
        // init and this process has nothing to reap later. _exit: no atexit
        // handlers or stream flushes of the parent's state run here.
        const pid_t opener = fork();
        if (opener == 0) {
            char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(address),
                                  nullptr};
            execv(program.c_str(), argv);
            _exit(127);
        }
        _exit(opener > 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
