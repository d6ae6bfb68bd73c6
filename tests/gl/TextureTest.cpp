#include <gtest/gtest.h>

#include <vector>

#include "platform/GL.h"
#include "render/Texture.h"

namespace {

std::vector<float> ReadLevel(GLuint texture, int level, int side) {
    std::vector<float> texels(static_cast<std::size_t>(side) * side * 4, -1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_FLOAT, texels.data());
    return texels;
}

// The test bitmaps: red 0x30 + 16 x, green 0x20 + 16 y (y from the top), blue 0x10.
void ExpectPixel(const std::vector<float>& texels, int side, int row, int column, int x, int y) {
    const float* t = &texels[4 * (static_cast<std::size_t>(row) * side + column)];
    EXPECT_NEAR(t[0], (0x30 + 16 * x) / 255.0f, 1e-6) << row << "," << column;
    EXPECT_NEAR(t[1], (0x20 + 16 * y) / 255.0f, 1e-6) << row << "," << column;
    EXPECT_NEAR(t[2], 0x10 / 255.0f, 1e-6) << row << "," << column;
    EXPECT_EQ(t[3], 1.0f) << row << "," << column;
}

GLint Parameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST(GLFWTexture, HoldsTheBitmapBottomRowFirst) {
    for (int id : {9001, 9002}) {  // 24-bit, and 32-bit with a fourth byte
        GLFWTexture texture(id, 4);
        const std::vector<float> texels = ReadLevel(texture.GetTexture(), 0, 4);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                ExpectPixel(texels, 4, row, column, column, 3 - row);
            }
        }
        // The picture's top-left pixel (blue 0x10, green 0x20, red 0x30) is
        // texel column 0, row 3.
        EXPECT_NEAR(texels[4 * 12 + 0], 0x30 / 255.0f, 1e-6);
        EXPECT_NEAR(texels[4 * 12 + 1], 0x20 / 255.0f, 1e-6);
        EXPECT_NEAR(texels[4 * 12 + 2], 0x10 / 255.0f, 1e-6);
    }
}

TEST(GLFWTexture, LeavesItselfBoundOnUnitZeroWithItsParameters) {
    glActiveTexture(GL_TEXTURE3);
    GLFWTexture texture(9001, 4);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, static_cast<GLint>(GL_TEXTURE0));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture.GetTexture());
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAX_LEVEL), 0);
    EXPECT_EQ(Parameter(GL_TEXTURE_IMMUTABLE_FORMAT), GL_TRUE);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA32F);
    GLfloat largest = 0.0f;
    GLfloat anisotropy = 0.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    EXPECT_GT(largest, 1.0f);
    EXPECT_EQ(anisotropy, largest);
}

TEST(GLFWTexture, LevelCountIsLog2OfTheSize) {
    EXPECT_EQ(TextureLevelCount(2048), 11);
    EXPECT_EQ(TextureLevelCount(1024), 10);
    EXPECT_EQ(TextureLevelCount(4), 2);
    EXPECT_EQ(TextureLevelCount(2), 1);
    EXPECT_EQ(TextureLevelCount(1), 1);
    // Sizes the texture cannot take get no storage.
    EXPECT_EQ(TextureLevelCount(0), 0);
    EXPECT_EQ(TextureLevelCount(-8), 0);
    EXPECT_EQ(TextureLevelCount(4096), 0);
    struct Case {
        int id;
        int size;
        int levels;
    };
    for (const Case& c : {Case{9004, 1, 1}, Case{9005, 2, 1}, Case{9001, 4, 2}}) {
        GLFWTexture texture(c.id, c.size);
        EXPECT_EQ(Parameter(GL_TEXTURE_IMMUTABLE_LEVELS), c.levels) << c.size;
    }
}

TEST(GLFWTexture, SizeOtherThanTheBitmapsStaysInside) {
    GLFWTexture larger(9001, 8);  // a 4 x 4 bitmap asked as 8 x 8
    const std::vector<float> texels = ReadLevel(larger.GetTexture(), 0, 8);
    ExpectPixel(texels, 8, 0, 0, 0, 3);
    EXPECT_EQ(texels[4 * (7 * 8 + 7)], 0.0f);
    EXPECT_EQ(texels[4 * (7 * 8 + 7) + 3], 1.0f);
    GLFWTexture bad(9001, 3);  // not a power of two: no storage, no read
    EXPECT_NE(bad.GetTexture(), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GLFWTexture, MipChainTakesOneBitmapPerLevel) {
    const int ids[] = {9004, 9005, 9001};  // 1 x 1, 2 x 2, 4 x 4
    GLFWTexture texture(ids, 3);
    const std::vector<float> level0 = ReadLevel(texture.GetTexture(), 0, 4);
    ExpectPixel(level0, 4, 3, 0, 0, 0);
    const std::vector<float> level1 = ReadLevel(texture.GetTexture(), 1, 2);
    ExpectPixel(level1, 2, 1, 1, 1, 0);
    const std::vector<float> level2 = ReadLevel(texture.GetTexture(), 2, 1);
    ExpectPixel(level2, 1, 0, 0, 0, 0);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    glGetError();  // glEnable(GL_TEXTURE_2D) is an error on core contexts
}

}  // namespace
