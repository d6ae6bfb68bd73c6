#include "host/EntryPoint.h"

#include "host/Application.h"
#include "host/CommandLine.h"

int RunScreensaver(const char* commandTail, void* /*instance*/, int /*showCommand*/) {
    g_commandLine = new CCommandLine(commandTail);
    const int mode = g_commandLine->mode;
    if ((mode == MODE_PREVIEW || mode == MODE_NONE) && !g_commandLine->IsFirstInstance()) {
        return 0;
    }
    if (mode == MODE_CONFIGURE) {
        // The About window is not built yet; configure ends at once.
        return 0;
    }
    g_application = new GLFWApplication(g_commandLine);
    g_application->Run();
    return 0;
}
