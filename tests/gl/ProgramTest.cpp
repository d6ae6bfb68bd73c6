#include <gtest/gtest.h>

#include "platform/GL.h"
#include "render/Program.h"
#include "resources/ResourceIds.h"

namespace {

// Counts the calls that go through the two location entries of the table.
GLEntryPoint g_realGetAttribLocation = nullptr;
GLEntryPoint g_realGetUniformLocation = nullptr;
int g_getAttribLocationCalls = 0;
int g_getUniformLocationCalls = 0;

GLint TOLVANE_GL_APIENTRY CountingGetAttribLocation(GLuint program, const GLchar* name) {
    ++g_getAttribLocationCalls;
    return reinterpret_cast<PFNGLGETATTRIBLOCATIONPROC>(g_realGetAttribLocation)(program, name);
}

GLint TOLVANE_GL_APIENTRY CountingGetUniformLocation(GLuint program, const GLchar* name) {
    ++g_getUniformLocationCalls;
    return reinterpret_cast<PFNGLGETUNIFORMLOCATIONPROC>(g_realGetUniformLocation)(program, name);
}

// Routes both lookups through the counters while it lives.
struct CountedLocationLookups {
    CountedLocationLookups() {
        g_realGetAttribLocation = g_glEntryPoints[GLEP_glGetAttribLocation];
        g_realGetUniformLocation = g_glEntryPoints[GLEP_glGetUniformLocation];
        g_glEntryPoints[GLEP_glGetAttribLocation] =
            reinterpret_cast<GLEntryPoint>(CountingGetAttribLocation);
        g_glEntryPoints[GLEP_glGetUniformLocation] =
            reinterpret_cast<GLEntryPoint>(CountingGetUniformLocation);
        g_getAttribLocationCalls = g_getUniformLocationCalls = 0;
    }
    ~CountedLocationLookups() {
        g_glEntryPoints[GLEP_glGetAttribLocation] = g_realGetAttribLocation;
        g_glEntryPoints[GLEP_glGetUniformLocation] = g_realGetUniformLocation;
    }
};

struct SceneProgram {
    const char* key;
    int vertex;
    int fragment;
};

const SceneProgram kScenePrograms[] = {
    {"BackgroundProgram", kBackgroundVertexShaderId, kBackgroundFragmentShaderId},
    {"PanelProgram", kPanelVertexShaderId, kPanelFragmentShaderId},
    {"DigitProgram", kDigitVertexShaderId, kDigitFragmentShaderId},
};

TEST(GLFWProgram, SceneProgramsCompileAndLink) {
    GLFWProgramRegistry registry;
    for (const SceneProgram& p : kScenePrograms) registry.Add(p.key, p.vertex, p.fragment);
    for (const SceneProgram& p : kScenePrograms) {
        const GLuint id = registry.GetProgramId(p.key);
        ASSERT_NE(id, 0u) << p.key;
        EXPECT_EQ(registry.Get(p.key)->GetProgram(), id);
        GLint linked = 0;
        glGetProgramiv(id, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << p.key;
        // Every program reads the position and the texture coordinate.
        EXPECT_GE(registry.Get(p.key)->GetAttribLocation("position"), 0) << p.key;
    }
    EXPECT_GE(registry.Get("DigitProgram")->GetUniformLocation("tile_angle"), 0);
    EXPECT_GE(registry.Get("DigitProgram")->GetUniformLocation("index"), 0);
    EXPECT_GE(registry.Get("BackgroundProgram")->GetUniformLocation("viewportWidth"), 0);
    EXPECT_GE(registry.Get("BackgroundProgram")->GetUniformLocation("model_projection"), 0);
    EXPECT_GE(registry.Get("DigitProgram")->GetUniformLocation("world_projection"), 0);
}

TEST(GLFWProgram, MissingNamesAreCachedAsMinusOneAndAskedOnce) {
    for (const SceneProgram& p : kScenePrograms) {
        GLFWProgram program(p.vertex, p.fragment);
        GLint attribute[2] = {};
        GLint uniform[2] = {};
        {
            CountedLocationLookups counted;
            for (int i = 0; i < 2; ++i) {
                attribute[i] = program.GetAttribLocation("position_normal");
                // Declared by every fragment stage, read by none.
                uniform[i] = program.GetUniformLocation("iTime");
            }
        }
        EXPECT_EQ(attribute[0], -1) << p.key;
        EXPECT_EQ(attribute[1], -1) << p.key;
        EXPECT_EQ(g_getAttribLocationCalls, 1) << p.key;
        EXPECT_EQ(uniform[0], -1) << p.key;
        EXPECT_EQ(uniform[1], -1) << p.key;
        EXPECT_EQ(g_getUniformLocationCalls, 1) << p.key;
    }
}

TEST(GLFWProgram, UniformsAndAttributesShareOneCache) {
    GLFWProgram program(kDigitVertexShaderId, kDigitFragmentShaderId);
    const GLint uniform = program.GetUniformLocation("tile_top");
    ASSERT_GE(uniform, 0);
    // Whatever kind of lookup stored a name answers later lookups of it.
    EXPECT_EQ(program.GetAttribLocation("tile_top"), uniform);
    EXPECT_EQ(program.GetUniformLocation("no_such_uniform"), -1);
}

TEST(GLFWProgramRegistry, FirstAddUnderAKeyStays) {
    GLFWProgramRegistry registry;
    registry.Add("BackgroundProgram", kBackgroundVertexShaderId, kBackgroundFragmentShaderId);
    const GLuint first = registry.GetProgramId("BackgroundProgram");
    GLFWProgram* firstObject = registry.Get("BackgroundProgram");
    registry.Add("BackgroundProgram", kDigitVertexShaderId, kDigitFragmentShaderId);
    EXPECT_EQ(registry.GetProgramId("BackgroundProgram"), first);
    EXPECT_EQ(registry.Get("BackgroundProgram"), firstObject);
    EXPECT_TRUE(glIsProgram(first));
}

TEST(GLFWProgramRegistry, UnknownKeysGiveNullZeroAndNothing) {
    GLFWProgramRegistry registry;
    registry.Add("PanelProgram", kPanelVertexShaderId, kPanelFragmentShaderId);
    EXPECT_EQ(registry.Get("Nope"), nullptr);
    EXPECT_EQ(registry.GetProgramId("Nope"), 0u);
    glUseProgram(0);
    registry.Use("Nope");
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    registry.Use("PanelProgram");
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), registry.GetProgramId("PanelProgram"));
    glUseProgram(0);
}

TEST(GLFWProgram, SetTextureLeavesTheUnitActiveWithTheTextureBound) {
    GLFWProgram program(kDigitVertexShaderId, kDigitFragmentShaderId);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    program.Use();
    program.SetTexture("s", 1, texture);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, static_cast<GLint>(GL_TEXTURE1));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    GLint sampler = -1;
    glGetUniformiv(program.GetProgram(), program.GetUniformLocation("s"), &sampler);
    EXPECT_EQ(sampler, 1);
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(1, &texture);
    glUseProgram(0);
}

}  // namespace
