// The Windows entry point of the screensaver.
#include <windows.h>

#include "host/EntryPoint.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int showCommand) {
    return RunScreensaver(commandLine != nullptr ? commandLine : "", instance, showCommand);
}
