// The Linux entry point. The arguments, joined by single spaces, are the
// command-line tail that Windows hands to WinMain; xscreensaver's hack
// conventions (-root, -window-id) are translated into switches first.
//
// The daemon ends a hack with SIGTERM, whose default action ends the process
// at once; nothing here changes it, and nothing is left behind to clean up.
#include <cstdlib>

#include "host/EntryPoint.h"
#include "host/HackArguments.h"

int main(int argc, char** argv) {
    const HackLaunch launch =
        TranslateHackArguments(argc - 1, argv + 1, std::getenv("XSCREENSAVER_WINDOW"));
    return RunScreensaver(launch.commandTail.c_str(), nullptr, 0,
                          launch.hostHandover ? InstanceGuard::Skip : InstanceGuard::Apply);
}
