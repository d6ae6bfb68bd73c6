// Entry-point loading on a context older than 3.0: Mesa is told to offer
// only 2.1, and a child run of this program loads the table on it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gl/GLTestContext.h"
#include "platform/GL.h"

namespace {

TEST(LoadGLEntryPoints, ContextBelowThreeGivesMinusOneWithAFilledTable) {
    const std::string command = "MESA_GL_VERSION_OVERRIDE=2.1 " + std::string(g_testProgramPath) +
                                " --child=old-context 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) out += chunk;
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("version=2.1"), std::string::npos) << out;
    EXPECT_NE(out.find("status=-1"), std::string::npos) << out;
    // 1.0 to 2.1 are there, 3.0 and later are not.
    EXPECT_NE(out.find("glClear=1 glCreateShader=1 glGenVertexArrays=0 glTexStorage2D=0"),
              std::string::npos)
        << out;
}

}  // namespace

bool RunGLEntryPointChild(const std::string& mode, int* exitCode) {
    if (mode != "old-context") return false;
    *exitCode = 1;
    if (!glfwInit()) return true;
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);  // no version asked: whatever Mesa offers
    GLFWwindow* window = glfwCreateWindow(64, 64, "old context", nullptr, nullptr);
    if (window == nullptr) return true;
    glfwMakeContextCurrent(window);
    const int status = LoadGLEntryPoints();
    std::printf("version=%s status=%d\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                status);
    std::printf("glClear=%d glCreateShader=%d glGenVertexArrays=%d glTexStorage2D=%d\n",
                g_glEntryPoints[GLEP_glClear] != nullptr,
                g_glEntryPoints[GLEP_glCreateShader] != nullptr,
                g_glEntryPoints[GLEP_glGenVertexArrays] != nullptr,
                g_glEntryPoints[GLEP_glTexStorage2D] != nullptr);
    *exitCode = 0;
    return true;
}
