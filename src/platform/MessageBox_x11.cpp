// Message boxes on Linux/X11.
//
// Implements: a modal box of our own in the manner of MessageBoxA without
// owner: the caption as the window title, an icon, the text, an OK button.
// Enter, space and Escape dismiss it, as does a click on OK or closing the
// window. The text always goes to standard error too, so a run without a
// display (or a test log) still shows it.
// Lacks: the system sound, and a layout for text wider than the screen.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace {

constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

std::vector<std::string> SplitLines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (*p != '\r') {
            line += *p;
        }
    }
    lines.push_back(line);
    return lines;
}

struct Layout {
    int width = 0;
    int height = 0;
    int lineHeight = 0;
    int ascent = 0;
    int buttonX = 0;
    int buttonY = 0;
};

Layout Measure(XFontStruct* font, const std::vector<std::string>& lines, int screenWidth) {
    Layout l;
    l.ascent = font->ascent;
    l.lineHeight = font->ascent + font->descent + 2;
    int textWidth = 0;
    for (const std::string& s : lines) {
        textWidth = std::max(textWidth, XTextWidth(font, s.c_str(), static_cast<int>(s.size())));
    }
    l.width = std::clamp(kMargin * 3 + kIconSize + textWidth, 240, std::max(240, screenWidth - 40));
    const int textHeight = std::max(kIconSize, l.lineHeight * static_cast<int>(lines.size()));
    l.height = kMargin * 3 + textHeight + kButtonHeight;
    l.buttonX = (l.width - kButtonWidth) / 2;
    l.buttonY = l.height - kMargin - kButtonHeight;
    return l;
}

void Draw(Display* display, Window window, GC gc, XFontStruct* font, const Layout& l,
          const std::vector<std::string>& lines, MessageIcon icon) {
    const int screen = DefaultScreen(display);
    XSetForeground(display, gc, 0xF0F0F0);
    XFillRectangle(display, window, gc, 0, 0, static_cast<unsigned>(l.width),
                   static_cast<unsigned>(l.height));

    // Icon: a blue disc with "i", or a yellow disc with "!".
    XSetForeground(display, gc, icon == MessageIcon::Exclamation ? 0xE8B000 : 0x2060C0);
    XFillArc(display, window, gc, kMargin, kMargin, kIconSize, kIconSize, 0, 360 * 64);
    XSetForeground(display, gc, WhitePixel(display, screen));
    const char* mark = icon == MessageIcon::Exclamation ? "!" : "i";
    XDrawString(display, window, gc, kMargin + kIconSize / 2 - XTextWidth(font, mark, 1) / 2,
                kMargin + kIconSize / 2 + l.ascent / 2, mark, 1);

    XSetForeground(display, gc, BlackPixel(display, screen));
    int y = kMargin + l.ascent;
    for (const std::string& s : lines) {
        XDrawString(display, window, gc, kMargin * 2 + kIconSize, y, s.c_str(),
                    static_cast<int>(s.size()));
        y += l.lineHeight;
    }

    XSetForeground(display, gc, 0xE1E1E1);
    XFillRectangle(display, window, gc, l.buttonX, l.buttonY, kButtonWidth, kButtonHeight);
    XSetForeground(display, gc, 0x0078D7);
    XDrawRectangle(display, window, gc, l.buttonX, l.buttonY, kButtonWidth - 1, kButtonHeight - 1);
    XSetForeground(display, gc, BlackPixel(display, screen));
    XDrawString(display, window, gc, l.buttonX + (kButtonWidth - XTextWidth(font, "OK", 2)) / 2,
                l.buttonY + (kButtonHeight + l.ascent) / 2 - 1, "OK", 2);
}

// Runs the box until it is dismissed.
void RunBox(Display* display, const char* text, const char* caption, MessageIcon icon) {
    const int screen = DefaultScreen(display);
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    const bool fontLoaded = font != nullptr;
    if (!fontLoaded) font = XQueryFont(display, XGContextFromGC(DefaultGC(display, screen)));
    if (font == nullptr) return;

    const std::vector<std::string> lines = SplitLines(text);
    const Layout l = Measure(font, lines, DisplayWidth(display, screen));
    const int x = std::max(0, (DisplayWidth(display, screen) - l.width) / 2);
    const int y = std::max(0, (DisplayHeight(display, screen) - l.height) / 2);

    Window window = XCreateSimpleWindow(
        display, RootWindow(display, screen), x, y, static_cast<unsigned>(l.width),
        static_cast<unsigned>(l.height), 1, BlackPixel(display, screen), 0xF0F0F0);
    XStoreName(display, window, caption);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(caption),
                    static_cast<int>(std::strlen(caption)));
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = l.width;
    hints.min_height = hints.max_height = l.height;
    XSetWMNormalHints(display, window, &hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(
        display, window,
        ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);

    GC gc = XCreateGC(display, window, 0, nullptr);
    XSetFont(display, gc, font->fid);
    XMapRaised(display, window);

    bool done = false;
    bool destroyed = false;
    bool pressedOnButton = false;
    auto onButton = [&](int px, int py) {
        return px >= l.buttonX && px < l.buttonX + kButtonWidth && py >= l.buttonY &&
               py < l.buttonY + kButtonHeight;
    };
    while (!done) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case MapNotify:
                // Modal: take the keyboard so Enter works without moving the pointer.
                XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
                break;
            case Expose:
                if (event.xexpose.count == 0) Draw(display, window, gc, font, l, lines, icon);
                break;
            case KeyPress: {
                const KeySym key = XLookupKeysym(&event.xkey, 0);
                done =
                    key == XK_Return || key == XK_KP_Enter || key == XK_space || key == XK_Escape;
                break;
            }
            case ButtonPress:
                pressedOnButton =
                    event.xbutton.button == Button1 && onButton(event.xbutton.x, event.xbutton.y);
                break;
            case ButtonRelease:
                done = pressedOnButton && onButton(event.xbutton.x, event.xbutton.y);
                break;
            case ClientMessage:
                done = static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
                break;
            case DestroyNotify:
                done = destroyed = true;
                break;
            default:
                break;
        }
    }
    XFreeGC(display, gc);
    if (!destroyed) XDestroyWindow(display, window);
    if (fontLoaded) {
        XFreeFont(display, font);
    } else {
        XFreeFontInfo(nullptr, font, 0);
    }
    XSync(display, False);
}

}  // namespace

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    RunBox(display, text, caption, icon);
    XCloseDisplay(display);
}
