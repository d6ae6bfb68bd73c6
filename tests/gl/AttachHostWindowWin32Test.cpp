// glfwAttachHostWindow on Windows. With a host window of the test's own
// process the record takes the host over in place and gives it back intact;
// with the preview window of preview_host.exe, in a process of its own, the
// record draws in a child window of ours and leaves the host as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gl/GLTestContext.h"
#include "host/glfw_attach.h"
#include "platform/GL.h"

#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

namespace {

// The host's own procedure counts what reaches it, to show it is skipped
// while attached and called again afterwards.
int g_hostMessages = 0;
constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage) ++g_hostMessages;
    return DefWindowProcW(window, message, wParam, lParam);
}

int g_lastError = 0;
std::string g_lastErrorText;

void RecordError(int code, const char* description) {
    g_lastError = code;
    g_lastErrorText = description != nullptr ? description : "";
}

int g_keys = 0;
int g_buttons = 0;
void CountKey(GLFWwindow*, int, int, int, int) { ++g_keys; }
void CountButton(GLFWwindow*, int, int, int) { ++g_buttons; }

WNDPROC GlfwProcedure() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), L"GLFW30", &wc)) return nullptr;
    return wc.lpfnWndProc;
}

WNDPROC ProcedureOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

class AttachHostWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TolvaneTestHost";
        RegisterClassExW(&wc);
    }

    void SetUp() override {
        previousCallback = glfwSetErrorCallback(RecordError);
        g_lastError = 0;
        g_lastErrorText.clear();
        g_hostMessages = 0;
        glfwDefaultWindowHints();
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    }

    void TearDown() override {
        if (attached != nullptr) glfwDestroyWindow(attached);
        if (host != nullptr) DestroyWindow(host);
        glfwDefaultWindowHints();
        glfwSetErrorCallback(previousCallback);
        glfwMakeContextCurrent(g_testWindow);
        LoadGLEntryPoints();
    }

    HWND MakeHost(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, DWORD exStyle = 0) {
        host = CreateWindowExW(exStyle, L"TolvaneTestHost", L"host", style, 0, 0, 200, 150, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        originalProc = ProcedureOf(host);
        return host;
    }

    GLFWwindow* Attach() {
        attached = glfwAttachHostWindow(reinterpret_cast<intptr_t>(host), nullptr);
        return attached;
    }

    // The host as it was before the attachment: own procedure, no property.
    void ExpectHostAsItWas() {
        EXPECT_TRUE(IsWindow(host));
        EXPECT_EQ(ProcedureOf(host), originalProc);
        EXPECT_EQ(GetPropW(host, L"GLFW"), nullptr);
        const int before = g_hostMessages;
        SendMessageW(host, kProbeMessage, 0, 0);
        EXPECT_EQ(g_hostMessages, before + 1);
    }

    GLFWerrorfun previousCallback = nullptr;
    HWND host = nullptr;
    WNDPROC originalProc = nullptr;
    GLFWwindow* attached = nullptr;
};

TEST_F(AttachHostWindow, TakesTheHostOverInPlace) {
    MakeHost();
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    EXPECT_EQ(glfwGetWin32Window(attached), host);
    EXPECT_EQ(GetPropW(host, L"GLFW"), static_cast<void*>(attached));
    ASSERT_NE(GlfwProcedure(), nullptr);
    EXPECT_EQ(ProcedureOf(host), GlfwProcedure());
    EXPECT_NE(ProcedureOf(host), originalProc);

    // The saved procedure is not called while attached.
    SendMessageW(host, kProbeMessage, 0, 0);
    EXPECT_EQ(g_hostMessages, 0);

    RECT client{};
    GetClientRect(host, &client);
    int width = 0;
    int height = 0;
    glfwGetWindowSize(attached, &width, &height);
    EXPECT_EQ(width, client.right);
    EXPECT_EQ(height, client.bottom);
    EXPECT_EQ(glfwGetWindowAttrib(attached, GLFW_CLIENT_API), GLFW_OPENGL_API);
    EXPECT_GE(glfwGetWindowAttrib(attached, GLFW_CONTEXT_VERSION_MAJOR), 3);
}

TEST_F(AttachHostWindow, ReadsTheStateFromTheHostsStyles) {
    MakeHost(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    EXPECT_TRUE(glfwGetWindowAttrib(attached, GLFW_RESIZABLE));
    EXPECT_TRUE(glfwGetWindowAttrib(attached, GLFW_DECORATED));
    EXPECT_FALSE(glfwGetWindowAttrib(attached, GLFW_FLOATING));
    EXPECT_FALSE(glfwGetWindowAttrib(attached, GLFW_ICONIFIED));
    glfwDestroyWindow(attached);
    attached = nullptr;
    DestroyWindow(host);

    MakeHost(WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    EXPECT_FALSE(glfwGetWindowAttrib(attached, GLFW_RESIZABLE));
    EXPECT_FALSE(glfwGetWindowAttrib(attached, GLFW_DECORATED));
    EXPECT_TRUE(glfwGetWindowAttrib(attached, GLFW_FLOATING));
    glfwDestroyWindow(attached);
    attached = nullptr;
    DestroyWindow(host);

    // A thin border alone counts as decorated, not as resizable.
    MakeHost(WS_POPUP | WS_BORDER | WS_VISIBLE);
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    EXPECT_FALSE(glfwGetWindowAttrib(attached, GLFW_RESIZABLE));
    EXPECT_TRUE(glfwGetWindowAttrib(attached, GLFW_DECORATED));
}

TEST_F(AttachHostWindow, DrawsIntoTheHost) {
    MakeHost(WS_POPUP | WS_VISIBLE);
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    glfwMakeContextCurrent(attached);
    ASSERT_EQ(LoadGLEntryPoints(), 0);
    for (const auto& colour : {std::array<GLubyte, 3>{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}) {
        glClearColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        GLubyte pixel[4] = {1, 2, 3, 4};
        glReadPixels(100, 75, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[0], colour[0]);
        EXPECT_EQ(pixel[1], colour[1]);
        EXPECT_EQ(pixel[2], colour[2]);
        glfwSwapBuffers(attached);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(AttachHostWindow, HandsTheHostsMessagesToTheCallbacks) {
    MakeHost();
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    g_keys = 0;
    g_buttons = 0;
    glfwSetKeyCallback(attached, CountKey);
    glfwSetMouseButtonCallback(attached, CountButton);
    PostMessageW(host, WM_KEYDOWN, 'A', 0x001E0001);
    PostMessageW(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(host, WM_CLOSE, 0, 0);
    glfwPollEvents();
    EXPECT_EQ(g_keys, 1);
    EXPECT_EQ(g_buttons, 1);
    EXPECT_TRUE(glfwWindowShouldClose(attached));
    // A close request only flags the record; the host stays.
    EXPECT_TRUE(IsWindow(host));
    EXPECT_EQ(g_hostMessages, 0);
}

TEST_F(AttachHostWindow, DestroyingTheRecordGivesTheHostBack) {
    MakeHost();
    const HICON hostIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_WARNING
    SendMessageW(host, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hostIcon));
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    glfwMakeContextCurrent(attached);
    unsigned char pixels[16 * 16 * 4] = {};
    GLFWimage icon{16, 16, pixels};
    glfwSetWindowIcon(attached, 1, &icon);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageW(host, WM_GETICON, ICON_BIG, 0)), hostIcon);

    glfwDestroyWindow(attached);
    attached = nullptr;
    ExpectHostAsItWas();
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(host, WM_GETICON, ICON_BIG, 0)), hostIcon);
    EXPECT_EQ(glfwGetCurrentContext(), nullptr);

    // The host can be attached again, and given back again.
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    glfwDestroyWindow(attached);
    attached = nullptr;
    ExpectHostAsItWas();
}

TEST_F(AttachHostWindow, WithoutAContextTheHostIsStillGivenBack) {
    MakeHost();
    glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    EXPECT_EQ(glfwGetWindowAttrib(attached, GLFW_CLIENT_API), GLFW_NO_API);
    EXPECT_EQ(GetPropW(host, L"GLFW"), static_cast<void*>(attached));
    glfwDestroyWindow(attached);
    attached = nullptr;
    ExpectHostAsItWas();
}

TEST_F(AttachHostWindow, FailuresReportAndLeaveTheHostAlone) {
    MakeHost();

    // No such window.
    EXPECT_EQ(glfwAttachHostWindow(0, nullptr), nullptr);
    EXPECT_EQ(g_lastError, GLFW_PLATFORM_ERROR);
    EXPECT_NE(g_lastErrorText.find("does not exist"), std::string::npos) << g_lastErrorText;
    g_lastError = 0;
    EXPECT_EQ(glfwAttachHostWindow(0x7ffff0, nullptr), nullptr);
    EXPECT_EQ(g_lastError, GLFW_PLATFORM_ERROR);

    // Sharing with no client API.
    glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
    g_lastError = 0;
    EXPECT_EQ(glfwAttachHostWindow(reinterpret_cast<intptr_t>(host), g_testWindow), nullptr);
    EXPECT_EQ(g_lastError, GLFW_NO_WINDOW_CONTEXT);
    ExpectHostAsItWas();

    // Invalid context hints.
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 9);
    g_lastError = 0;
    EXPECT_EQ(Attach(), nullptr);
    EXPECT_EQ(g_lastError, GLFW_INVALID_VALUE);
    ExpectHostAsItWas();

    // Valid hints that no driver meets: the context fails after the host
    // was taken over, and the host must come back intact, not destroyed.
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 9);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    g_lastError = 0;
    EXPECT_EQ(Attach(), nullptr);
    EXPECT_EQ(g_lastError, GLFW_VERSION_UNAVAILABLE) << g_lastErrorText;
    ExpectHostAsItWas();
}

// preview_host.exe (built beside this program), paused: a 152 x 112 preview
// window in another process, as the Screen Saver Settings dialog has.
class ForeignHost {
public:
    ForeignHost() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring commandLine(path);
        commandLine = L"\"" + commandLine.substr(0, commandLine.find_last_of(L"\\/") + 1) +
                      L"preview_host.exe\" --paused none.scr";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE outputWrite = nullptr;
        HANDLE inputRead = nullptr;
        if (!CreatePipe(&output, &outputWrite, &inherit, 0) ||
            !CreatePipe(&inputRead, &input, &inherit, 0)) {
            return;
        }
        SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inputRead;
        startup.hStdOutput = outputWrite;
        startup.hStdError = outputWrite;
        if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            preview = reinterpret_cast<HWND>(ReadNumberAfter("preview "));
        }
        CloseHandle(outputWrite);
        CloseHandle(inputRead);
    }

    ~ForeignHost() {
        DWORD written = 0;
        if (input != nullptr) WriteFile(input, "quit\n", 5, &written, nullptr);
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(process.hProcess, 1);
            }
            CloseHandle(process.hProcess);
        }
        if (input != nullptr) CloseHandle(input);
        if (output != nullptr) CloseHandle(output);
    }

    HWND preview = nullptr;

private:
    // The number after prefix on the host's output, waiting at most 20 s.
    std::uintptr_t ReadNumberAfter(const std::string& prefix) {
        std::string text;
        const DWORD deadline = GetTickCount() + 20000;
        while (static_cast<LONG>(deadline - GetTickCount()) > 0) {
            DWORD available = 0;
            if (!PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr)) break;
            if (available == 0) {
                Sleep(20);
                continue;
            }
            char buffer[256];
            DWORD count = 0;
            if (!ReadFile(output, buffer, sizeof buffer, &count, nullptr)) break;
            text.append(buffer, count);
            const std::size_t at = text.find(prefix);
            if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
                return std::strtoull(text.c_str() + at + prefix.size(), nullptr, 10);
            }
        }
        return 0;
    }

    PROCESS_INFORMATION process{};
    HANDLE output = nullptr;
    HANDLE input = nullptr;
};

TEST_F(AttachHostWindow, AHostOfAnotherProcessGetsAChildWindowAndIsLeftAsItWas) {
    ForeignHost foreign;
    ASSERT_NE(foreign.preview, nullptr) << "preview_host.exe did not start";
    host = nullptr;
    DWORD owner = 0;
    GetWindowThreadProcessId(foreign.preview, &owner);
    ASSERT_NE(owner, GetCurrentProcessId());
    const LONG_PTR hostProcedure = GetWindowLongPtrW(foreign.preview, GWLP_WNDPROC);

    attached = glfwAttachHostWindow(reinterpret_cast<intptr_t>(foreign.preview), nullptr);
    ASSERT_NE(attached, nullptr) << g_lastErrorText;
    const HWND child = glfwGetWin32Window(attached);
    EXPECT_NE(child, foreign.preview);
    EXPECT_EQ(GetParent(child), foreign.preview);
    GetWindowThreadProcessId(child, &owner);
    EXPECT_EQ(owner, GetCurrentProcessId());
    EXPECT_EQ(GetPropW(child, L"GLFW"), static_cast<void*>(attached));
    EXPECT_EQ(GetPropW(foreign.preview, L"GLFW"), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(foreign.preview, GWLP_WNDPROC), hostProcedure);
    int width = 0;
    int height = 0;
    glfwGetWindowSize(attached, &width, &height);
    EXPECT_EQ(width, 152);
    EXPECT_EQ(height, 112);

    glfwMakeContextCurrent(attached);
    ASSERT_EQ(LoadGLEntryPoints(), 0);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GLubyte pixel[4] = {};
    glReadPixels(76, 56, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(pixel[2], 0);
    glfwSwapBuffers(attached);

    glfwDestroyWindow(attached);
    attached = nullptr;
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(IsWindow(foreign.preview));
    EXPECT_EQ(GetWindow(foreign.preview, GW_CHILD), nullptr);
    EXPECT_EQ(GetPropW(foreign.preview, L"GLFW"), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(foreign.preview, GWLP_WNDPROC), hostProcedure);
}

// Ends the library, then brings the test context back for what follows.
TEST_F(AttachHostWindow, TerminatingTheLibraryGivesTheHostBack) {
    MakeHost();
    ASSERT_NE(Attach(), nullptr) << g_lastErrorText;
    attached = nullptr;  // glfwTerminate destroys it
    glfwTerminate();
    g_testWindow = nullptr;
    ExpectHostAsItWas();
    ASSERT_NE(OpenTestWindow(), nullptr);
    glfwSetErrorCallback(RecordError);
}

}  // namespace
