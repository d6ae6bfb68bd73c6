// Undoing GLFW's full-screen side effects on X11 (Xlib, POSIX signals).
//
// Implements: the server's screen-saver settings are read just before the
// first taking of a monitor, which is when the library reads them itself
// (it reads them again only after giving them back), so both hold the
// same values; they are given back at exit (key, button, close request,
// focus taken) and on SIGTERM, SIGINT and SIGHUP. The signal handler only
// writes a byte to a pipe; a thread of our own, blocked on it, gives the
// settings back on a display connection of its own and ends the process
// with exit code 0, so no Xlib call runs inside a handler and none shares
// GLFW's connection across threads.
// Lacks: a wrapped window procedure; the library's X11 full-screen windows
// keep no display awake and refuse no power-off.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <mutex>
#include <thread>

#include "host/FullScreenEffects.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

namespace {

struct ScreenSaverSettings {
    int timeout = 0;
    int interval = 0;
    int blanking = 0;
    int exposures = 0;
};

bool g_borrowed = false;
ScreenSaverSettings g_user;
// A connection of our own for giving the settings back: GLFW's may be gone
// by then (a failed start terminates the library) or be in use on the
// other thread. The mutex keeps the exit and the signal thread off it at
// the same time.
Display* g_ownDisplay = nullptr;
std::mutex g_ownDisplayUse;
int g_signalPipe[2] = {-1, -1};

void GiveBack() {
    const std::lock_guard<std::mutex> hold(g_ownDisplayUse);
    XSetScreenSaver(g_ownDisplay, g_user.timeout, g_user.interval, g_user.blanking,
                    g_user.exposures);
    XSync(g_ownDisplay, False);
}

extern "C" void OnEndSignal(int /*signal*/) {
    const int saved = errno;
    const char byte = 0;
    // Nothing to do when the pipe is full: one byte is enough.
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void EndOnSignal() {
    char byte = 0;
    while (read(g_signalPipe[0], &byte, 1) < 0 && errno == EINTR) {
    }
    GiveBack();
    _exit(0);
}

// The signals that end the clock at once, as their default action did, now
// with the settings given back first.
void HandleEndSignals() {
    if (pipe(g_signalPipe) != 0) return;
    fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    std::thread(EndOnSignal).detach();
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace

void BeforeTakingMonitor() {
    Display* display = glfwGetX11Display();
    if (g_borrowed || display == nullptr) return;
    g_borrowed = true;
    g_ownDisplay = XOpenDisplay(DisplayString(display));
    if (g_ownDisplay == nullptr) return;  // no way to give them back: left to the library
    XGetScreenSaver(display, &g_user.timeout, &g_user.interval, &g_user.blanking,
                    &g_user.exposures);
    std::atexit(GiveBack);
    HandleEndSignals();
}

void AfterTakingMonitor() {}

void WatchFullScreenWindow(GLFWwindow* /*window*/) {}
