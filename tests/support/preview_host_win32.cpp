// A stand-in for the Screen Saver Settings dialog, for the tests under Wine.
//
// Implements: a top-level window holding a 152 x 112 child window painted
// bright red (the preview window), the start of the screensaver with
// "/p <decimal handle of the preview window>" in a process of its own, and
// commands on standard input that act on it. Lacks: everything else the real
// dialog does (choosing a screensaver, settings, the timeout).
//
// Usage: preview_host.exe [--paused] SCREENSAVER [ARGUMENT...]
//   Without --paused the screensaver starts at once; ARGUMENTs, when given,
//   replace "/p <handle>" (to hand it a different handle).
//
// Output lines (standard output, flushed at once):
//   preview <handle>      the preview window, as soon as it is shown
//   started <pid>         the screensaver process
//   exit <code>           the screensaver process has ended, with its code
//   input <what>          a button or wheel message reached this program's
//                         own windows ("button 1", "wheel -120", ...)
//   ok <what> / error <what>   the answer to a command
//
// Commands (standard input, one a line):
//   start                 start the screensaver (after --paused); answered
//                         by "started <pid>"
//   find                  "ok drawing <handle> <width> <height>": the
//                         screensaver's drawing window (the preview
//                         window's child of its process) and its client
//                         size; handle 0 while there is none
//   dialog                "ok dialog <caption>|<text>" of a message box that
//                         the screensaver shows, or "ok dialog none"
//   close                 post WM_CLOSE to that drawing window
//   focus                 give that drawing window the keyboard focus
//   resize <w> <h>        give the preview window a new size
//   disable               disable the preview window (EnableWindow)
//   destroy               destroy the preview window
//   status                "ok running" or "ok exit <code>"
//   quit                  end this program
// It also ends by itself after two minutes, so it can never linger.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;
constexpr UINT kCommandMessage = WM_APP + 1;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 120000;

HWND g_frame = nullptr;
HWND g_preview = nullptr;
PROCESS_INFORMATION g_child{};
bool g_childRunning = false;
DWORD g_childExitCode = 0;
DWORD g_mainThread = 0;

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &paint.rcPaint, red);
        DeleteObject(red);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    // Shows what Wine makes of X's buttons over the preview window.
    if (message == WM_LBUTTONDOWN) Say("input button 1");
    if (message == WM_MBUTTONDOWN) Say("input button 2");
    if (message == WM_RBUTTONDOWN) Say("input button 3");
    if (message == WM_XBUTTONDOWN) Say("input button x%d", GET_XBUTTON_WPARAM(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kLifetimeTimer) {
        PostQuitMessage(2);
        return 0;
    }
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    // Wheel messages go to the focus window (the frame) or rise to it from
    // the preview window through DefWindowProc.
    if (message == WM_MOUSEWHEEL) Say("input wheel %d", GET_WHEEL_DELTA_WPARAM(wParam));
    if (message == WM_MOUSEHWHEEL) Say("input hwheel %d", GET_WHEEL_DELTA_WPARAM(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CreateWindows(HINSTANCE instance) {
    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof frameClass;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    frameClass.lpszClassName = L"TolvanePreviewHostFrame";
    WNDCLASSEXW previewClass{};
    previewClass.cbSize = sizeof previewClass;
    previewClass.lpfnWndProc = PreviewProc;
    previewClass.hInstance = instance;
    previewClass.lpszClassName = L"TolvanePreviewHostPreview";
    if (!RegisterClassExW(&frameClass) || !RegisterClassExW(&previewClass)) return false;

    g_frame =
        CreateWindowExW(0, frameClass.lpszClassName, L"Tolvane preview host", WS_POPUP | WS_VISIBLE,
                        0, 0, 400, 300, nullptr, nullptr, instance, nullptr);
    if (g_frame == nullptr) return false;
    g_preview = CreateWindowExW(0, previewClass.lpszClassName, L"Preview",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kPreviewWidth,
                                kPreviewHeight, g_frame, nullptr, instance, nullptr);
    if (g_preview == nullptr) return false;
    UpdateWindow(g_frame);
    UpdateWindow(g_preview);
    return true;
}

bool StartScreensaver(const std::string& program, const std::string& arguments) {
    if (g_child.hProcess != nullptr) return false;
    std::string commandLine = "\"" + program + "\" ";
    if (arguments.empty()) {
        commandLine += "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(g_preview));
    } else {
        commandLine += arguments;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &g_child)) {
        return false;
    }
    CloseHandle(g_child.hThread);
    g_childRunning = true;
    Say("started %lu", static_cast<unsigned long>(g_child.dwProcessId));
    return true;
}

// The screensaver's drawing window: the preview window's child, of its process.
HWND DrawingWindow() {
    if (!IsWindow(g_preview)) return nullptr;
    HWND child = GetWindow(g_preview, GW_CHILD);
    DWORD process = 0;
    if (child != nullptr) GetWindowThreadProcessId(child, &process);
    return process == g_child.dwProcessId && process != 0 ? child : nullptr;
}

struct DialogSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (process == search->process && IsWindowVisible(window) &&
        std::strcmp(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The screensaver's message box, as "<caption>|<text>", or "none".
std::string MessageBoxShown() {
    DialogSearch search{g_child.dwProcessId, nullptr};
    if (search.process == 0) return "none";
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return "none";
    char caption[256] = {};
    char text[1024] = {};
    GetWindowTextA(search.found, caption, sizeof caption);
    // The message text is the static control with id 0xFFFF.
    GetDlgItemTextA(search.found, 0xFFFF, text, sizeof text);
    return std::string(caption) + "|" + text;
}

std::string g_program;
std::string g_arguments;

void RunCommand(const std::string& command) {
    if (command == "start") {
        // Success answers with the "started" line.
        if (!StartScreensaver(g_program, g_arguments)) Say("error start %lu", GetLastError());
    } else if (command == "find") {
        HWND drawing = DrawingWindow();
        RECT area{};
        if (drawing != nullptr) GetClientRect(drawing, &area);
        Say("ok drawing %llu %ld %ld",
            static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(drawing)), area.right,
            area.bottom);
    } else if (command == "dialog") {
        Say("ok dialog %s", MessageBoxShown().c_str());
    } else if (command == "close") {
        HWND drawing = DrawingWindow();
        if (drawing != nullptr && PostMessageW(drawing, WM_CLOSE, 0, 0)) {
            Say("ok close");
        } else {
            Say("error close: no drawing window");
        }
    } else if (command == "focus") {
        HWND drawing = DrawingWindow();
        const DWORD thread = drawing ? GetWindowThreadProcessId(drawing, nullptr) : 0;
        if (thread != 0 && AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) {
            SetForegroundWindow(g_frame);
            SetFocus(drawing);
            Say("ok focus");
        } else {
            Say("error focus: no drawing window");
        }
    } else if (command.compare(0, 7, "resize ") == 0) {
        int width = 0;
        int height = 0;
        if (std::sscanf(command.c_str() + 7, "%d %d", &width, &height) == 2 &&
            SetWindowPos(g_preview, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER)) {
            Say("ok resize");
        } else {
            Say("error resize");
        }
    } else if (command == "disable") {
        EnableWindow(g_preview, FALSE);
        Say("ok disable");
    } else if (command == "destroy") {
        if (IsWindow(g_preview) && DestroyWindow(g_preview)) {
            Say("ok destroy");
        } else {
            Say("error destroy");
        }
    } else if (command == "status") {
        if (g_childRunning) {
            Say("ok running");
        } else if (g_child.hProcess != nullptr) {
            Say("ok exit %lu", static_cast<unsigned long>(g_childExitCode));
        } else {
            Say("ok not started");
        }
    } else if (command == "quit") {
        PostQuitMessage(0);
    } else if (!command.empty()) {
        Say("error unknown command %s", command.c_str());
    }
}

// Standard input is read on a thread of its own, so the window thread never
// blocks; each line goes to the window thread as a message.
DWORD WINAPI ReadCommands(void*) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char buffer[256];
    DWORD count = 0;
    while (ReadFile(input, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        for (DWORD i = 0; i < count; ++i) {
            if (buffer[i] == '\n') {
                PostThreadMessageW(g_mainThread, kCommandMessage, 0,
                                   reinterpret_cast<LPARAM>(new std::string(line)));
                line.clear();
            } else if (buffer[i] != '\r') {
                line += buffer[i];
            }
        }
    }
    return 0;
}

int RunLoop() {
    for (;;) {
        const DWORD count = g_childRunning ? 1 : 0;
        const DWORD woken =
            MsgWaitForMultipleObjects(count, &g_child.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (g_childRunning && woken == WAIT_OBJECT_0) {
            GetExitCodeProcess(g_child.hProcess, &g_childExitCode);
            g_childRunning = false;
            Say("exit %lu", static_cast<unsigned long>(g_childExitCode));
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            if (message.hwnd == nullptr && message.message == kCommandMessage) {
                std::string* command = reinterpret_cast<std::string*>(message.lParam);
                RunCommand(*command);
                delete command;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    bool paused = false;
    if (argc > first && std::strcmp(argv[first], "--paused") == 0) {
        paused = true;
        ++first;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: preview_host.exe [--paused] SCREENSAVER [ARGUMENT...]\n");
        return 2;
    }
    g_program = argv[first];
    for (int i = first + 1; i < argc; ++i) {
        if (!g_arguments.empty()) g_arguments += ' ';
        g_arguments += argv[i];
    }
    g_mainThread = GetCurrentThreadId();
    // The thread's message queue must exist before the reader posts to it.
    MSG unused;
    PeekMessageW(&unused, nullptr, 0, 0, PM_NOREMOVE);

    if (!CreateWindows(GetModuleHandleW(nullptr))) {
        Say("error windows %lu", GetLastError());
        return 1;
    }
    SetTimer(g_frame, kLifetimeTimer, kLifetimeMs, nullptr);
    Say("preview %llu",
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(g_preview)));
    if (!paused && !StartScreensaver(g_program, g_arguments)) {
        Say("error start %lu", GetLastError());
        return 1;
    }
    HANDLE reader = CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);
    const int code = RunLoop();
    if (reader != nullptr) CloseHandle(reader);
    return code;
}
