#include "host/HackArguments.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

bool Is(const char* argument, const char* name) {
    // "-root" and "--root", "-window-id" and "--window-id".
    if (argument[0] == '-' && argument[1] == '-') ++argument;
    return std::strcmp(argument, name) == 0;
}

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

std::string PreviewSwitch(std::int32_t window) { return "/p " + std::to_string(window); }

}  // namespace

std::int32_t ReadWindowId(const char* text) {
    if (text == nullptr) return 0;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0') return 0;
    std::int64_t value = 0;
    for (; *text != '\0'; ++text) {
        const int digit = DigitValue(*text, base);
        if (digit < 0) return 0;
        value = value * base + digit;
        if (value > std::numeric_limits<std::int32_t>::max()) return 0;
    }
    return static_cast<std::int32_t>(value);
}

HackLaunch TranslateHackArguments(int count, const char* const* arguments,
                                  const char* hostWindowVariable) {
    HackLaunch launch;
    std::string& tail = launch.commandTail;
    for (int i = 0; i < count; ++i) {
        if (i > 0) tail += ' ';
        const char* argument = arguments[i];
        if (Is(argument, "-root")) {
            const bool named = hostWindowVariable != nullptr && *hostWindowVariable != '\0';
            tail += named ? PreviewSwitch(ReadWindowId(hostWindowVariable)) : "/s";
            launch.hostHandover = true;
        } else if (Is(argument, "-window-id")) {
            // A missing id gives window 0, which fails like any bad host id.
            const char* id = i + 1 < count ? arguments[++i] : nullptr;
            tail += PreviewSwitch(ReadWindowId(id));
            launch.hostHandover = true;
        } else {
            tail += argument;
        }
    }
    return launch;
}
