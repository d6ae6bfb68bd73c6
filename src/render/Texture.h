// Textures made from BITMAP resources: 32-bit float RGBA, alpha 1.
#pragma once

#include "platform/GL.h"

class GLFWTexture {
public:
    // A size x size texture from one bitmap, only its full-size level filled
    // and sampled. Leaves it bound to GL_TEXTURE_2D on unit 0 (active).
    GLFWTexture(int bitmapId, int size);

    // A texture whose mip levels come from separate bitmaps: ids[0] is the
    // 1 x 1 level, ids[count - 1] the full-size level 0.
    GLFWTexture(const int* bitmapIds, int count);

    ~GLFWTexture();
    GLFWTexture(const GLFWTexture&) = delete;
    GLFWTexture& operator=(const GLFWTexture&) = delete;

    GLuint GetTexture() const { return texture_; }

private:
    GLuint texture_ = 0;
};

// Levels reserved for a size x size texture: log2 of the size (not + 1: the
// 1 x 1 level is not allocated), at least 1. 0 for sizes outside 1..2048,
// which get no storage at all.
int TextureLevelCount(int size);
