// The About window on Linux/X11, drawn with Xlib and Xft: the same texts,
// colours, picture and layout as on Windows, in a 400 x 300 window titled
// "About" centred on the screen; a push button of our own opens the web site
// with xdg-open; closing the window (WM_DELETE_WINDOW) ends it.
// Implements: fonts through fontconfig ("Arial" or the substitute it picks)
// sized so that their character cell has the height Windows gives it,
// the product line underlined by hand (Xft has no underline), a button
// that shows its pressed state and acts on release inside it, as Windows
// buttons do.
// Lacks: a title bar of its own (400 x 300 is the client area; a window
// manager adds its frame around it), the class icon, keyboard focus on the
// button, visuals other than TrueColor (the picture is then left out), and
// the show command (the window is always shown).
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "about/AboutLayout.h"
#include "about/AboutWindow.h"
#include "about/OpenAddress.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "render/Dib.h"
#include "resources/ResourceIds.h"

namespace {

// A Windows 10 push button's colours.
constexpr about::Rgb kButtonFace{225, 225, 225};
constexpr about::Rgb kButtonBorder{173, 173, 173};
constexpr about::Rgb kButtonPressedFace{204, 228, 247};
constexpr about::Rgb kButtonPressedBorder{0, 84, 153};

struct AboutView {
    Display* display = nullptr;
    Visual* visual = nullptr;
    Colormap colormap = 0;
    Window window = 0;
    GC gc = nullptr;
    XftDraw* draw = nullptr;
    XftFont* textFont = nullptr;
    XftFont* productLineFont = nullptr;
    XftColor productLineColour{};
    XftColor noticeColour{};
    XftColor buttonTextColour{};
    XImage* picture = nullptr;
    bool buttonPressed = false;  // the pointer is held down inside the button
};

int MaskShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// A colour as a pixel of a TrueColor visual (8 bits a channel or fewer).
unsigned long PixelOf(const Visual* visual, about::Rgb colour) {
    auto channel = [](unsigned long mask, unsigned char value) {
        const int shift = MaskShift(mask);
        const unsigned long top = mask >> shift;
        return (value * top + 127) / 255 << shift;
    };
    return channel(visual->red_mask, colour.red) | channel(visual->green_mask, colour.green) |
           channel(visual->blue_mask, colour.blue);
}

XftColor MakeXftColour(const AboutView& view, about::Rgb colour) {
    XRenderColor render{static_cast<unsigned short>(colour.red * 257),
                        static_cast<unsigned short>(colour.green * 257),
                        static_cast<unsigned short>(colour.blue * 257), 0xFFFF};
    XftColor result{};
    XftColorAllocValue(view.display, view.visual, view.colormap, &render, &result);
    return result;
}

XftFont* OpenFontAtSize(Display* display, const about::FontStyle& style, double pixelSize) {
    // Xft asks fontconfig, which substitutes a close face when "Arial" is
    // not installed.
    return XftFontOpen(display, DefaultScreen(display), XFT_FAMILY, XftTypeString, style.face,
                       XFT_PIXEL_SIZE, XftTypeDouble, pixelSize, XFT_WEIGHT, XftTypeInteger,
                       style.weight >= 700 ? XFT_WEIGHT_BOLD : XFT_WEIGHT_MEDIUM, nullptr);
}

// The font whose character cell (ascent + descent) is style.height pixels
// high, as a positive height asks of CreateFontA.
XftFont* OpenFont(Display* display, const about::FontStyle& style) {
    XftFont* font = OpenFontAtSize(display, style, style.height);
    if (font == nullptr || font->ascent + font->descent <= style.height) return font;
    const double scale = static_cast<double>(style.height) / (font->ascent + font->descent);
    XftFontClose(display, font);
    return OpenFontAtSize(display, style, style.height * scale);
}

// Bitmap 182, 32 bits a pixel, as an image for XPutImage; null when the
// resource cannot be read or the visual is not TrueColor.
XImage* LoadPicture(const AboutView& view) {
    const ResourceBytes bytes = FindResourceBytes(kPreviewBitmapId, kBitmapResource);
    DibImage dib;
    if (view.visual->c_class != TrueColor || !ParseDib(bytes.data, bytes.size, &dib)) {
        return nullptr;
    }
    const int depth = DefaultDepth(view.display, DefaultScreen(view.display));
    XImage* image =
        XCreateImage(view.display, view.visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                     static_cast<unsigned>(dib.width), static_cast<unsigned>(dib.height), 32, 0);
    if (image == nullptr) return nullptr;
    image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line),
                                                 static_cast<std::size_t>(dib.height)));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return nullptr;
    }
    const int bytesPerPixel = dib.bitsPerPixel / 8;
    for (int y = 0; y < dib.height; ++y) {
        const int stored = dib.topDown ? y : dib.height - 1 - y;
        const unsigned char* row = dib.pixels + static_cast<std::size_t>(stored) * dib.stride;
        for (int x = 0; x < dib.width; ++x) {
            const unsigned char* p = row + x * bytesPerPixel;  // blue, green, red
            XPutPixel(image, x, y, PixelOf(view.visual, {p[2], p[1], p[0]}));
        }
    }
    return image;
}

void FillBox(const AboutView& view, const about::Box& box, about::Rgb colour) {
    XSetForeground(view.display, view.gc, PixelOf(view.visual, colour));
    XFillRectangle(view.display, view.window, view.gc, box.x, box.y,
                   static_cast<unsigned>(box.width), static_cast<unsigned>(box.height));
}

int TextWidth(const AboutView& view, XftFont* font, const std::string& text) {
    XGlyphInfo extents;
    XftTextExtentsUtf8(view.display, font, reinterpret_cast<const FcChar8*>(text.data()),
                       static_cast<int>(text.size()), &extents);
    return extents.xOff;
}

void DrawText(const AboutView& view, XftFont* font, const XftColor& colour, int x, int baseline,
              const std::string& text) {
    XftDrawStringUtf8(view.draw, &colour, font, x, baseline,
                      reinterpret_cast<const FcChar8*>(text.data()), static_cast<int>(text.size()));
}

// Left-aligned lines from the top of the box, cut at its edges, as a
// static control shows them.
void DrawStaticText(const AboutView& view, XftFont* font, const XftColor& colour,
                    const about::Box& box, const std::vector<std::string>& lines, bool underline) {
    if (font == nullptr) return;
    XRectangle clip{0, 0, static_cast<unsigned short>(box.width),
                    static_cast<unsigned short>(box.height)};
    XftDrawSetClipRectangles(view.draw, box.x, box.y, &clip, 1);
    int baseline = box.y + font->ascent;
    for (const std::string& line : lines) {
        DrawText(view, font, colour, box.x, baseline, line);
        if (underline) {
            const int thickness = font->height >= 20 ? 2 : 1;
            XftDrawRect(view.draw, &colour, box.x, baseline + thickness + 1,
                        static_cast<unsigned>(TextWidth(view, font, line)),
                        static_cast<unsigned>(thickness));
        }
        baseline += font->height;
    }
    XftDrawSetClip(view.draw, nullptr);
}

void PaintButton(const AboutView& view) {
    const about::Box& b = about::kButtonBox;
    FillBox(view, b, view.buttonPressed ? kButtonPressedBorder : kButtonBorder);
    FillBox(view, {b.x + 1, b.y + 1, b.width - 2, b.height - 2},
            view.buttonPressed ? kButtonPressedFace : kButtonFace);
    if (view.textFont == nullptr) return;
    const std::string caption = about::kButtonCaption;
    const int x = b.x + (b.width - TextWidth(view, view.textFont, caption)) / 2;
    const int textHeight = view.textFont->ascent + view.textFont->descent;
    const int baseline = b.y + (b.height - textHeight) / 2 + view.textFont->ascent;
    DrawText(view, view.textFont, view.buttonTextColour, x, baseline, caption);
}

void Paint(const AboutView& view) {
    FillBox(view, {0, 0, about::kWindowWidth, about::kWindowHeight}, about::kBackgroundColour);
    if (view.picture != nullptr) {
        XPutImage(view.display, view.window, view.gc, view.picture, 0, 0, about::kPictureBox.x,
                  about::kPictureBox.y, static_cast<unsigned>(view.picture->width),
                  static_cast<unsigned>(view.picture->height));
    }
    DrawStaticText(view, view.productLineFont, view.productLineColour, about::kProductLineBox,
                   {about::kProductLine}, true);
    DrawStaticText(view, view.textFont, view.noticeColour, about::kNoticeBox, about::NoticeLines(),
                   false);
    PaintButton(view);  // over the notice's box, which reaches into it
}

void SetProperties(Display* display, Window window) {
    XStoreName(display, window, about::kWindowCaption);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(about::kWindowCaption),
                    static_cast<int>(std::strlen(about::kWindowCaption)));
    const long pid = getpid();  // lets tools find the window by its process
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XClassHint classHint{const_cast<char*>("tolvane-screensaver"),
                         const_cast<char*>(about::kWindowClassName)};
    XSetClassHint(display, window, &classHint);

    // Not resizable: the smallest and the largest size are the same.
    const about::Point position =
        about::CentredWindowPosition(DisplayWidth(display, DefaultScreen(display)),
                                     DisplayHeight(display, DefaultScreen(display)));
    XSizeHints size{};
    size.flags = USPosition | PMinSize | PMaxSize;
    size.x = position.x;
    size.y = position.y;
    size.min_width = size.max_width = about::kWindowWidth;
    size.min_height = size.max_height = about::kWindowHeight;
    XSetWMNormalHints(display, window, &size);

    // Window managers that read Motif hints offer neither minimise nor
    // maximise: move and close only, a title bar with its menu.
    const long motif[5] = {1 | 2, 4 | 32, 2 | 8 | 16, 0, 0};  // functions, decorations
    const Atom motifAtom = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, window, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
}

// Returns when the window is asked to close (true) or has been destroyed
// by someone else (false).
bool RunEventLoop(AboutView& view) {
    const Atom protocols = XInternAtom(view.display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(view.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(view.display, view.window, const_cast<Atom*>(&deleteWindow), 1);
    bool tracking = false;  // button 1 went down on the button
    for (;;) {
        XEvent event;
        XNextEvent(view.display, &event);
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) Paint(view);
                break;
            case ButtonPress:
                if (event.xbutton.button == Button1 &&
                    about::kButtonBox.Contains(event.xbutton.x, event.xbutton.y)) {
                    tracking = view.buttonPressed = true;
                    PaintButton(view);
                }
                break;
            case MotionNotify:
                if (tracking) {
                    const bool inside =
                        about::kButtonBox.Contains(event.xmotion.x, event.xmotion.y);
                    if (inside != view.buttonPressed) {
                        view.buttonPressed = inside;
                        PaintButton(view);
                    }
                }
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 && tracking) {
                    tracking = view.buttonPressed = false;
                    PaintButton(view);
                    if (about::kButtonBox.Contains(event.xbutton.x, event.xbutton.y)) {
                        OpenWebAddress(about::kWebsiteAddress);  // a failure is ignored
                    }
                }
                break;
            case ClientMessage:
                if (event.xclient.message_type == protocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
                    return true;
                }
                break;
            case DestroyNotify:
                return false;
            default:
                break;
        }
    }
}

}  // namespace

CAboutWindow::CAboutWindow(void* /*instance*/, int /*showCommand*/) {
    AboutView view;
    view.display = XOpenDisplay(nullptr);
    if (view.display == nullptr) {
        ShowMessageBox("Window Creation Failed!", "Error!", MessageIcon::Exclamation);
        return;
    }
    const int screen = DefaultScreen(view.display);
    view.visual = DefaultVisual(view.display, screen);
    view.colormap = DefaultColormap(view.display, screen);

    XSetWindowAttributes attributes{};
    attributes.background_pixel = PixelOf(view.visual, about::kBackgroundColour);
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask |
                            StructureNotifyMask;
    const about::Point position = about::CentredWindowPosition(DisplayWidth(view.display, screen),
                                                               DisplayHeight(view.display, screen));
    view.window =
        XCreateWindow(view.display, RootWindow(view.display, screen), position.x, position.y,
                      about::kWindowWidth, about::kWindowHeight, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    SetProperties(view.display, view.window);

    view.gc = XCreateGC(view.display, view.window, 0, nullptr);
    view.draw = XftDrawCreate(view.display, view.window, view.visual, view.colormap);
    view.textFont = OpenFont(view.display, about::kTextFont);
    view.productLineFont = OpenFont(view.display, about::kProductLineFont);
    view.productLineColour = MakeXftColour(view, about::kProductLineColour);
    view.noticeColour = MakeXftColour(view, about::kNoticeColour);
    view.buttonTextColour = MakeXftColour(view, {0, 0, 0});
    view.picture = LoadPicture(view);

    XMapWindow(view.display, view.window);
    const bool windowExists = RunEventLoop(view);

    if (view.picture != nullptr) XDestroyImage(view.picture);
    for (XftColor* colour : {&view.productLineColour, &view.noticeColour, &view.buttonTextColour}) {
        XftColorFree(view.display, view.visual, view.colormap, colour);
    }
    for (XftFont* font : {view.textFont, view.productLineFont}) {
        if (font != nullptr) XftFontClose(view.display, font);
    }
    XftDrawDestroy(view.draw);
    XFreeGC(view.display, view.gc);
    if (windowExists) XDestroyWindow(view.display, view.window);
    XCloseDisplay(view.display);
}
