// The Linux entry point. The arguments, joined by single spaces, are the
// command-line tail that Windows hands to WinMain; xscreensaver's hack
// conventions (-root, -window-id) are translated into switches first.
//
// The daemon ends a hack with SIGTERM, whose default action ends the process
// at once; nothing here changes it, and nothing is left behind to clean up.
// The X server going away under a running clock ends the process at once
// with exit code 0, like every other way out; Xlib's own handler would end
// it with 1. Nothing can be cleaned up on a lost connection, so nothing is.
#include <X11/Xlib.h>

#include <cstdlib>

#include "host/EntryPoint.h"
#include "host/HackArguments.h"

namespace {
int EndOnLostDisplay(Display* /*display*/) { std::_Exit(0); }
}  // namespace

int main(int argc, char** argv) {
    XSetIOErrorHandler(EndOnLostDisplay);
    const HackLaunch launch =
        TranslateHackArguments(argc - 1, argv + 1, std::getenv("XSCREENSAVER_WINDOW"));
    return RunScreensaver(launch.commandTail.c_str(), nullptr, 0,
                          launch.hostHandover ? InstanceGuard::Skip : InstanceGuard::Apply);
}
