// Glyphs from a TrueType font through FreeType, rendered as 8-bit coverage
// without hinting, so the shapes are the same at every size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Coverage 0..255, rows top to bottom, trimmed to the glyph's ink.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;

    std::uint8_t At(int x, int y) const { return coverage[static_cast<size_t>(y) * width + x]; }
};

class FontFace {
public:
    // Opens the font or ends the generator with a message naming the package.
    explicit FontFace(const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // The glyph of `c` scaled so that the digits' ink is `digitHeight` pixels
    // high, and narrowed horizontally by `widthFactor`.
    GlyphBitmap Render(char c, float digitHeight, float widthFactor) const;

private:
    struct Impl;
    Impl* impl_;
};

// The font the generator draws with, from the Debian package fonts-dejavu-core.
std::string DefaultFontPath();
