// A shader that does not compile ends the process. The test runs this GL
// test program again as a child that builds a broken program, and reads
// what the child reported.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gl/GLTestContext.h"
#include "platform/GL.h"
#include "render/Program.h"

namespace {

GLEntryPoint g_realCreateShader = nullptr;
int g_createShaderCalls = 0;

GLuint TOLVANE_GL_APIENTRY CountingCreateShader(GLenum kind) {
    ++g_createShaderCalls;
    return reinterpret_cast<PFNGLCREATESHADERPROC>(g_realCreateShader)(kind);
}

// Exit handlers run on the way out, so the count reaches the parent.
void ReportCreateShaderCalls() {
    std::printf("create-shader-calls=%d\n", g_createShaderCalls);
    std::fflush(stdout);
}

const char kGoodFragment[] = "#version 130\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n//~\n";
const char kBrokenVertex[] = "#version 130\nvoid main() { gl_Position = vec4(1.0) }\n//~\n";
const char kBrokenFragment[] = "#version 130\nout vec4 c;\nvoid main() { c = 1.0 +; }\n//~\n";

std::string RunChild(const char* mode, int* exitCode) {
    const std::string command = std::string(g_testProgramPath) + " --child=" + mode + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char chunk[256];
    while (pipe != nullptr && std::fgets(chunk, sizeof chunk, pipe) != nullptr) output += chunk;
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

TEST(GLFWProgramFailure, BrokenVertexShaderShowsLogThenMessageAndExitsZero) {
    int exitCode = -1;
    const std::string out = RunChild("broken-vertex", &exitCode);
    EXPECT_EQ(exitCode, 0) << out;
    const std::size_t log = out.find("Debug: ");
    const std::size_t message = out.find("Debug: Vertex shader compilation error");
    ASSERT_NE(log, std::string::npos) << out;
    ASSERT_NE(message, std::string::npos) << out;
    EXPECT_LT(log, message) << "the compiler's log comes first:\n" << out;
    EXPECT_NE(out.substr(log, message - log).find("error"), std::string::npos)
        << "the log box shows the compiler's text:\n"
        << out;
    // The fragment shader is never created.
    EXPECT_NE(out.find("create-shader-calls=1"), std::string::npos) << out;
    EXPECT_EQ(out.find("Fragment shader"), std::string::npos) << out;
}

TEST(GLFWProgramFailure, BrokenFragmentShaderSaysSo) {
    int exitCode = -1;
    const std::string out = RunChild("broken-fragment", &exitCode);
    EXPECT_EQ(exitCode, 0) << out;
    EXPECT_NE(out.find("Debug: Fragment shader compilation error"), std::string::npos) << out;
    EXPECT_NE(out.find("create-shader-calls=2"), std::string::npos) << out;
}

}  // namespace

int RunGLTestChild(const std::string& mode) {
    int exitCode = 0;
    if (RunGLEntryPointChild(mode, &exitCode)) return exitCode;
    if (OpenTestWindow() == nullptr) return 1;
    // Message boxes go to standard error only: nobody is there to dismiss them.
    unsetenv("DISPLAY");
    g_realCreateShader = g_glEntryPoints[GLEP_glCreateShader];
    g_glEntryPoints[GLEP_glCreateShader] = reinterpret_cast<GLEntryPoint>(CountingCreateShader);
    std::atexit(ReportCreateShaderCalls);
    if (mode == "broken-vertex") {
        GLFWProgram program(GLFWProgram::FromTexts{}, kBrokenVertex, kGoodFragment);
    } else if (mode == "broken-fragment") {
        GLFWProgram program(GLFWProgram::FromTexts{}, kGoodFragment, kBrokenFragment);
    }
    std::printf("child returned\n");
    return 3;
}
