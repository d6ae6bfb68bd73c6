// The Linux entry point. The arguments, joined by single spaces, are the
// command-line tail that Windows hands to WinMain; xscreensaver's hack
// conventions (-root, -window-id) are translated into switches first.
//
// The daemon ends a hack with SIGTERM. In full screen the handler of
// FullScreenEffects_x11.cpp (SIGTERM, SIGINT, SIGHUP) gives the X server's
// screen-saver settings back and ends the process with exit code 0; drawing
// into a window it was given (the handover, the preview) the clock borrows
// nothing, and the default action ends it at once.
//
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
