// The single-instance guard on Windows: the named event K_OPENGL_SCREENSAVER.
#include <windows.h>

#include "host/CommandLine.h"

bool CCommandLine::IsFirstInstance() {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, L"K_OPENGL_SCREENSAVER");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(event);
        return false;
    }
    // The handle stays open, holding the name, until the process ends.
    return true;
}
