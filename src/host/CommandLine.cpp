#include "host/CommandLine.h"

#include <cstdint>
#include <limits>

CCommandLine* g_commandLine = nullptr;

std::int32_t ReadHandleNumber(const char* text) {
    const char* p = text;
    // atoi skips what isspace accepts in the C locale.
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) value = limit;  // saturate, and keep reading the digits
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

CCommandLine::CCommandLine(const char* tail) {
    std::int32_t parsedMode = MODE_NONE;
    for (const char* p = tail; *p != '\0'; ++p) {
        if (*p != '/') continue;
        switch (p[1]) {
            case 'p':
                parsedMode = MODE_PREVIEW;
                break;
            case 's':
                parsedMode = MODE_SCREENSAVER;
                break;
            case 'c':
                parsedMode = MODE_CONFIGURE;
                break;
            default:
                break;
        }
        if (parsedMode != MODE_NONE) {
            // The number starts at the third character after the slash, so
            // exactly one separator is skipped ("/p 1234", "/c:1234"). Never
            // look past the terminating NUL.
            hostWindow = (p[1] != '\0' && p[2] != '\0') ? ReadHandleNumber(p + 3) : 0;
        }
    }
    mode = parsedMode;
}
