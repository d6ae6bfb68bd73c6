#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/GL.h"
#include "platform/GLAvailability.h"

namespace {

int IndexOf(const char* name) {
    for (int i = 0; i < kGLEntryPointCount; ++i) {
        if (std::strcmp(kGLEntryPointNames[i], name) == 0) return i;
    }
    return -1;
}

TEST(GLTable, HoldsTheSevenHundredEntryPointsInHeaderOrder) {
    ASSERT_EQ(kGLEntryPointCount, 700);
    EXPECT_STREQ(kGLEntryPointNames[0], "glCullFace");
    EXPECT_STREQ(kGLEntryPointNames[699], "glTexPageCommitmentARB");
    // 653 core entry points (1.0 to 4.5), then the 47 of the ARB extensions.
    EXPECT_STREQ(kGLEntryPointNames[652], "glTextureBarrier");
    EXPECT_STREQ(kGLEntryPointNames[653], "glGetTextureHandleARB");
    // Header order within and across sections.
    EXPECT_LT(IndexOf("glClear"), IndexOf("glDrawArrays"));
    EXPECT_LT(IndexOf("glDrawArrays"), IndexOf("glDrawRangeElements"));
    EXPECT_LT(IndexOf("glCreateProgram"), IndexOf("glGenVertexArrays"));
    EXPECT_EQ(IndexOf("glNamedBufferPageCommitmentEXT") + 1,
              IndexOf("glNamedBufferPageCommitmentARB"));
}

TEST(GLTable, NamesAreUniqueAndLeaveOutNewerAndFixedFunctionOnes) {
    std::set<std::string> names(kGLEntryPointNames, kGLEntryPointNames + kGLEntryPointCount);
    EXPECT_EQ(names.size(), 700u);
    for (const char* absent :
         {"glSpecializeShader", "glMultiDrawArraysIndirectCount", "glPolygonOffsetClamp", "glBegin",
          "glVertex3f", "glMaxShaderCompilerThreadsARB"}) {
        EXPECT_EQ(names.count(absent), 0u) << absent;
    }
    for (const char* present :
         {"glTexStorage2D", "glUseProgram", "glDebugMessageCallbackARB",
          "glGetGraphicsResetStatusARB", "glMinSampleShadingARB", "glCreateSyncFromCLeventARB",
          "glNamedStringARB", "glMultiDrawArraysIndirectCountARB"}) {
        EXPECT_EQ(names.count(present), 1u) << present;
    }
}

TEST(GLTable, SectionsTellVersionOrExtension) {
    const GLSection& clear = kGLSections[kGLEntryPointSection[GLEP_glClear]];
    EXPECT_STREQ(clear.name, "GL_VERSION_1_0");
    EXPECT_EQ(clear.version, 10);
    const GLSection& storage = kGLSections[kGLEntryPointSection[GLEP_glTexStorage2D]];
    EXPECT_EQ(storage.version, 42);
    const GLSection& bindless = kGLSections[kGLEntryPointSection[GLEP_glGetTextureHandleARB]];
    EXPECT_STREQ(bindless.name, "GL_ARB_bindless_texture");
    EXPECT_EQ(bindless.version, 0);
}

TEST(GLAvailability, DecidesFromVersionAndExtensions) {
    const GLSection v45{"GL_VERSION_4_5", 45};
    const GLSection v30{"GL_VERSION_3_0", 30};
    const GLSection ext{"GL_ARB_bindless_texture", 0};
    const std::vector<std::string> none;
    const std::vector<std::string> some{"GL_ARB_debug_output", "GL_ARB_bindless_texture"};
    EXPECT_FALSE(IsGLSectionProvided(v45, 3, 3, none));  // a 4.5 name on a 3.3 driver
    EXPECT_TRUE(IsGLSectionProvided(v45, 4, 5, none));
    EXPECT_TRUE(IsGLSectionProvided(v45, 4, 6, none));
    EXPECT_TRUE(IsGLSectionProvided(v30, 3, 0, none));
    EXPECT_FALSE(IsGLSectionProvided(v30, 2, 1, none));
    EXPECT_FALSE(IsGLSectionProvided(ext, 4, 5, none));
    EXPECT_TRUE(IsGLSectionProvided(ext, 4, 5, some));
}

TEST(GLAvailability, ParsesVersionStrings) {
    int major = 0;
    int minor = 0;
    EXPECT_TRUE(ParseGLVersionString("4.5 (Compatibility Profile) Mesa 22.3.6", &major, &minor));
    EXPECT_EQ(major, 4);
    EXPECT_EQ(minor, 5);
    EXPECT_TRUE(ParseGLVersionString("2.1 Mesa", &major, &minor));
    EXPECT_EQ(major * 10 + minor, 21);
    EXPECT_FALSE(ParseGLVersionString(nullptr, &major, &minor));
    EXPECT_FALSE(ParseGLVersionString("", &major, &minor));
    EXPECT_FALSE(ParseGLVersionString("OpenGL ES 3.2", &major, &minor));
}

}  // namespace
