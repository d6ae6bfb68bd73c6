#include "render/Texture.h"

#include <vector>

#include "render/BitmapPixels.h"

namespace {

constexpr int kLargestSize = 2048;

void SetLargestAnisotropy() {
    GLfloat largest = 0.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, largest);
}

}  // namespace

int TextureLevelCount(int size) {
    if (size < 1 || size > kLargestSize) return 0;
    int levels = 0;
    while ((2 << levels) <= size) ++levels;  // floor(log2(size))
    return levels > 0 ? levels : 1;
}

GLFWTexture::GLFWTexture(int bitmapId, int size) {
    glGenTextures(1, &texture_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture_);

    const int levels = TextureLevelCount(size);
    if (levels > 0) {
        glTexStorage2D(GL_TEXTURE_2D, levels, GL_RGBA32F, size, size);
        std::vector<float> texels(static_cast<std::size_t>(size) * size * 4);
        LoadBitmapPixels(texels.data(), bitmapId, size, size);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_FLOAT, texels.data());
    }

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    // Levels 1 and up stay empty; with base and maximum level 0 the texture
    // is complete and the mipmap filter samples level 0 only.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    SetLargestAnisotropy();
}

GLFWTexture::GLFWTexture(const int* bitmapIds, int count) {
    glGenTextures(1, &texture_);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);

    // Entry i is 2^i pixels square and fills level count - 1 - i; beyond
    // the largest texture size the chain stops.
    int side = 1;
    for (int i = 0; i < count && side <= kLargestSize; ++i, side *= 2) {
        std::vector<float> texels(static_cast<std::size_t>(side) * side * 4);
        LoadBitmapPixels(texels.data(), bitmapIds[i], side, side);
        glTexImage2D(GL_TEXTURE_2D, count - 1 - i, GL_RGBA, side, side, 0, GL_RGBA, GL_FLOAT,
                     texels.data());
    }

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    SetLargestAnisotropy();
}

GLFWTexture::~GLFWTexture() { glDeleteTextures(1, &texture_); }
