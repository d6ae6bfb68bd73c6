// The About window's fixed texts, sizes, positions, colours and fonts,
// shared by the Windows and the X11 window, and the small rules both follow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace about {

inline constexpr char kWindowCaption[] = "About";
inline constexpr char kWindowClassName[] = "OstrelWindowClass";
inline constexpr char kButtonCaption[] = "Visit website";
inline constexpr char kProductLine[] = "Tolvane Screensaver";
// Three lines, separated by CR LF as the Windows static control expects.
inline constexpr char kNotice[] =
    "Copyright (c) 2019-2026 Ostrel Software\r\n"
    "More free screensavers at www.tolvane.app\r\n"
    "Contact: hello@tolvane.app";
// The maker's site root with the query that tells the visit came from here.
inline constexpr char kWebsiteAddress[] = "https://www.tolvane.app/?utm_source=About";

// Icon 104 of user32, shown at 16 x 16 as the class icon on Windows.
inline constexpr int kSystemIconId = 104;
inline constexpr int kSystemIconSize = 16;

struct Rgb {
    unsigned char red, green, blue;
};
inline constexpr Rgb kBackgroundColour{177, 232, 179};
inline constexpr Rgb kProductLineColour{0, 0, 0};
inline constexpr Rgb kNoticeColour{0, 51, 255};

struct FontStyle {
    const char* face;
    int height;  // Windows: the character cell height; X11: the pixel size
    int width;   // average character width, for CreateFontA
    int weight;  // 400 normal, 700 bold
    bool underline;
};
inline constexpr FontStyle kTextFont{"Arial", 16, 6, 400, false};
inline constexpr FontStyle kProductLineFont{"Arial", 18, 8, 700, true};

struct Box {
    int x, y, width, height;
    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

// The window's outer size, and the elements in its client area.
inline constexpr int kWindowWidth = 400;
inline constexpr int kWindowHeight = 300;
inline constexpr Box kProductLineBox{112, 20, 280, 20};
inline constexpr Box kPictureBox{142, 55, 110, 83};
inline constexpr Box kNoticeBox{20, 150, 380, 80};
inline constexpr Box kButtonBox{150, 210, 100, 32};

// Control ids. The notice and the button share 10: static controls send no
// command, so only the button's click arrives as WM_COMMAND with wParam 10.
inline constexpr int kNoticeControlId = 10;
inline constexpr int kProductLineControlId = 30;
inline constexpr int kButtonControlId = 10;

struct Point {
    int x, y;
};

// The window's top-left corner that centres it on a screen of that size:
// the halves of the free space, computed in double precision and truncated
// toward zero.
Point CentredWindowPosition(int screenWidth, int screenHeight);

// True for the WM_COMMAND that opens the web site: the whole wParam equals
// the button's id (notification BN_CLICKED, 0, in the high word).
bool IsWebsiteCommand(std::uintptr_t wParam);

// The notice's lines without their CR LF separators.
std::vector<std::string> NoticeLines();

}  // namespace about
