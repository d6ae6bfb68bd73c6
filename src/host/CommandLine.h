// The launch record: which screensaver mode the command line asks for.
#pragma once

#include <cstdint>

enum ScreensaverMode {
    MODE_PREVIEW = 0,      // /p <handle>: the clock inside the host's preview window
    MODE_SCREENSAVER = 1,  // /s: full screen, no single-instance guard
    MODE_CONFIGURE = 2,    // /c: the About window
    MODE_NONE = 3,         // no recognised switch: full screen, guarded
};

class CCommandLine {
public:
    // Parses the command-line tail (program name already removed).
    explicit CCommandLine(const char* tail);

    // The single-instance guard of modes 0 and 3: true when this process may
    // run. Holds a system-wide name until the process ends.
    bool IsFirstInstance();

    std::int32_t mode = MODE_NONE;
    std::int32_t hostWindow = 0;  // the number after the switch; 0 when none
};

// Reads a decimal number the way atoi does (leading white space, an optional
// sign, digits up to the first non-digit; no digits give 0), but saturates
// at the limits of a 32-bit integer where atoi's overflow is undefined.
std::int32_t ReadHandleNumber(const char* text);

extern CCommandLine* g_commandLine;
