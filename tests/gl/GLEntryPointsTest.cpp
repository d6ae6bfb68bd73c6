#include <gtest/gtest.h>

#include <vector>

#include "platform/GL.h"

namespace {

TEST(LoadGLEntryPoints, FillsTheCoreTableAndReadsTheVersion) {
    EXPECT_EQ(LoadGLEntryPoints(), 0);
    EXPECT_GE(g_glMajorVersion, 3);
    for (int index : {GLEP_glClear, GLEP_glCreateShader, GLEP_glUseProgram, GLEP_glTexStorage2D,
                      GLEP_glGetIntegerv, GLEP_glDrawElements}) {
        EXPECT_NE(g_glEntryPoints[index], nullptr) << kGLEntryPointNames[index];
    }
    // The table works: a call through it reaches the driver.
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    EXPECT_EQ(major, g_glMajorVersion);
}

TEST(LoadGLEntryPoints, FillingTwiceGivesTheSameTable) {
    LoadGLEntryPoints();
    const std::vector<GLEntryPoint> first(g_glEntryPoints, g_glEntryPoints + kGLEntryPointCount);
    LoadGLEntryPoints();
    for (int i = 0; i < kGLEntryPointCount; ++i) {
        EXPECT_EQ(g_glEntryPoints[i], first[i]) << kGLEntryPointNames[i];
    }
}

TEST(LoadGLEntryPoints, LeavesWhatTheContextLacksNull) {
    LoadGLEntryPoints();
    // Mesa's llvmpipe offers no bindless textures and no CL events.
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    bool bindless = false;
    for (GLint i = 0; i < count; ++i) {
        const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, i));
        if (std::string(name) == "GL_ARB_bindless_texture") bindless = true;
    }
    if (!bindless) {
        EXPECT_EQ(g_glEntryPoints[GLEP_glGetTextureHandleARB], nullptr);
    }
    EXPECT_EQ(g_glEntryPoints[GLEP_glCreateSyncFromCLeventARB], nullptr);
}

}  // namespace
