// The Linux entry point: the arguments, joined by single spaces, are the
// command-line tail that Windows hands to WinMain.
//
// The X server going away under a running clock ends the process at once
// with exit code 0, like every other way out; Xlib's own handler would end
// it with 1. Nothing can be cleaned up on a lost connection, so nothing is.
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

#include "host/EntryPoint.h"

namespace {
int EndOnLostDisplay(Display* /*display*/) { std::_Exit(0); }
}  // namespace

int main(int argc, char** argv) {
    XSetIOErrorHandler(EndOnLostDisplay);
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    return RunScreensaver(tail.c_str(), nullptr, 0);
}
