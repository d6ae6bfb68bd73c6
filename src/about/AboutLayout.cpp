#include "about/AboutLayout.h"

#include <cstring>

namespace about {

Point CentredWindowPosition(int screenWidth, int screenHeight) {
    // The casts truncate toward zero, also for a screen smaller than the window.
    return {static_cast<int>((screenWidth - kWindowWidth) * 0.5),
            static_cast<int>((screenHeight - kWindowHeight) * 0.5)};
}

bool IsWebsiteCommand(std::uintptr_t wParam) {
    return wParam == static_cast<std::uintptr_t>(kButtonControlId);
}

std::vector<std::string> NoticeLines() {
    std::vector<std::string> lines;
    const char* start = kNotice;
    for (;;) {
        const char* end = std::strstr(start, "\r\n");
        if (end == nullptr) {
            lines.emplace_back(start);
            return lines;
        }
        lines.emplace_back(start, end);
        start = end + 2;
    }
}

}  // namespace about
