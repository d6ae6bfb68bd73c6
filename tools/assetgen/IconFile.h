// Windows .ico files: classic BMP-format images with an AND mask; 4 and
// 8 bits per pixel use a grey palette, 32 bits carry alpha.
#pragma once

#include <vector>

#include "AssetWriter.h"
#include "Canvas.h"

struct IconImage {
    const Canvas* picture;  // square, 16 or 32 pixels, straight alpha
    int bitsPerPixel;       // 4, 8 or 32
};

Bytes EncodeIcon(const std::vector<IconImage>& images);
