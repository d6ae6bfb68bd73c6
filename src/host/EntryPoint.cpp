#include "host/EntryPoint.h"

#include "about/AboutWindow.h"
#include "host/Application.h"
#include "host/CommandLine.h"

namespace {
// The About object, kept (like every long-lived object) until the process ends.
CAboutWindow* g_aboutWindow = nullptr;
}  // namespace

int RunScreensaver(const char* commandTail, void* instance, int showCommand, InstanceGuard guard) {
    g_commandLine = new CCommandLine(commandTail);
    const int mode = g_commandLine->mode;
    const bool guarded =
        guard == InstanceGuard::Apply && (mode == MODE_PREVIEW || mode == MODE_NONE);
    if (guarded && !g_commandLine->IsFirstInstance()) {
        return 0;
    }
    if (mode == MODE_CONFIGURE) {
        // The constructor returns once the window has been closed.
        g_aboutWindow = new CAboutWindow(instance, showCommand);
        return 0;
    }
    g_application = new GLFWApplication(g_commandLine);
    g_application->Run();
    return 0;
}
