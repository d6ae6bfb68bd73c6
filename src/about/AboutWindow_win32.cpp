// The About window on Windows: a window class of its own, static controls
// for the product line and the notice, a push button that opens the maker's
// web site with ShellExecuteA, the picture painted with GDI, and the
// window's own message loop.
// Lacks: keyboard navigation between the controls (no dialog manager), as
// the plain window it is.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "about/AboutLayout.h"
#include "about/AboutWindow.h"
#include "platform/MessageBox.h"
#include "resources/ResourceIds.h"

namespace {

// One About window per process; the window procedure reaches these.
HWND g_aboutWindow = nullptr;
HWND g_productLineControl = nullptr;
HWND g_noticeControl = nullptr;
HWND g_websiteButton = nullptr;
HBITMAP g_picture = nullptr;
HBRUSH g_backgroundBrush = nullptr;

COLORREF ToColorRef(about::Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

HFONT MakeFont(const about::FontStyle& style) {
    return CreateFontA(style.height, style.width, 0, 0, style.weight, FALSE, style.underline, FALSE,
                       DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       VARIABLE_PITCH, style.face);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkColor(dc, ToColorRef(about::kBackgroundColour));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    // Without the picture (a failed load) there is nothing to copy.
    if (g_picture != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, g_picture);
        BITMAP bitmap;
        GetObjectA(g_picture, sizeof bitmap, &bitmap);
        BitBlt(dc, about::kPictureBox.x, about::kPictureBox.y, bitmap.bmWidth, bitmap.bmHeight,
               memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool firstCall = true;
    if (firstCall) {
        firstCall = false;
        g_backgroundBrush = CreateSolidBrush(ToColorRef(about::kBackgroundColour));
    }
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool productLine = reinterpret_cast<HWND>(lParam) == g_productLineControl;
            SetTextColor(
                dc, ToColorRef(productLine ? about::kProductLineColour : about::kNoticeColour));
            SetBkColor(dc, ToColorRef(about::kBackgroundColour));
            return reinterpret_cast<LRESULT>(g_backgroundBrush);
        }
        case WM_COMMAND:
            if (about::IsWebsiteCommand(wParam)) {
                // A failure (no browser) is ignored: the window stays as it is.
                ShellExecuteA(window, "open", about::kWebsiteAddress, nullptr, nullptr,
                              SW_SHOWNORMAL);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            DeleteObject(g_picture);
            g_picture = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND MakeControl(const char* className, DWORD style, const about::Box& box, int id,
                 HINSTANCE instance, const char* text, HFONT font) {
    HWND control = CreateWindowExA(
        0, className, nullptr, style, box.x, box.y, box.width, box.height, g_aboutWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SetWindowTextA(control, text);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

}  // namespace

CAboutWindow::CAboutWindow(void* instanceHandle, int showCommand) {
    HINSTANCE instance = static_cast<HINSTANCE>(instanceHandle);

    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA("user32.dll"), MAKEINTRESOURCEA(about::kSystemIconId),
                   IMAGE_ICON, about::kSystemIconSize, about::kSystemIconSize, LR_SHARED));

    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = AboutWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = about::kWindowClassName;
    if (RegisterClassA(&windowClass) == 0) {
        ShowMessageBox("Window Registration Failed!", "Error!", MessageIcon::Exclamation);
        // Without the class no window can be made, and the loop below would
        // wait for a quit message that nothing posts.
        return;
    }

    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    const about::Point position = about::CentredWindowPosition(GetDeviceCaps(screen, HORZRES),
                                                               GetDeviceCaps(screen, VERTRES));
    ReleaseDC(nullptr, screen);

    g_aboutWindow = CreateWindowExA(0, about::kWindowClassName, about::kWindowCaption, WS_SYSMENU,
                                    position.x, position.y, about::kWindowWidth,
                                    about::kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (g_aboutWindow == nullptr) {
        ShowMessageBox("Window Creation Failed!", "Error!", MessageIcon::Exclamation);
        return;  // as above: nothing would ever post the quit message
    }

    g_picture = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(kPreviewBitmapId), IMAGE_BITMAP, 0, 0, LR_SHARED));
    HFONT textFont = MakeFont(about::kTextFont);
    HFONT productLineFont = MakeFont(about::kProductLineFont);

    // The static controls take the instance from the main window; 64-bit
    // Windows names that field GWLP_HINSTANCE.
    HINSTANCE windowInstance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(g_aboutWindow, GWLP_HINSTANCE));
    const DWORD staticStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    g_noticeControl = MakeControl("static", staticStyle, about::kNoticeBox, about::kNoticeControlId,
                                  windowInstance, about::kNotice, textFont);
    g_productLineControl =
        MakeControl("static", staticStyle, about::kProductLineBox, about::kProductLineControlId,
                    windowInstance, about::kProductLine, productLineFont);
    g_websiteButton =
        MakeControl("BUTTON", WS_CHILD | WS_VISIBLE, about::kButtonBox, about::kButtonControlId,
                    instance, about::kButtonCaption, textFont);

    ShowWindow(g_aboutWindow, showCommand);
    UpdateWindow(g_aboutWindow);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
