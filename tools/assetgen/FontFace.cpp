#include "FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#ifndef TOLVANE_ASSET_FONT
#define TOLVANE_ASSET_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

std::string DefaultFontPath() { return TOLVANE_ASSET_FONT; }

struct FontFace::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    float unitsPerDigitHeight = 0.0f;  // ink height of "0" in font units
};

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "tolvane-assetgen: %s\n", what.c_str());
    std::exit(1);
}

void Load(FT_Face face, char c, FT_Int32 flags) {
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
    if (index == 0 || FT_Load_Glyph(face, index, flags | FT_LOAD_NO_HINTING) != 0) {
        Fail(std::string("the font has no glyph for '") + c + "'");
    }
}

}  // namespace

FontFace::FontFace(const std::string& path) : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->library) != 0) Fail("FreeType does not start");
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
        Fail("cannot open the font " + path +
             " (Debian package fonts-dejavu-core; tools/bootstrap.sh installs it)");
    }
    Load(impl_->face, '0', FT_LOAD_NO_SCALE);
    FT_BBox box;
    FT_Outline_Get_CBox(&impl_->face->glyph->outline, &box);
    impl_->unitsPerDigitHeight = static_cast<float>(box.yMax - box.yMin);
}

FontFace::~FontFace() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
    delete impl_;
}

GlyphBitmap FontFace::Render(char c, float digitHeight, float widthFactor) const {
    FT_Face face = impl_->face;
    const float pixelsPerEm = digitHeight * face->units_per_EM / impl_->unitsPerDigitHeight;
    const auto size26_6 = static_cast<FT_F26Dot6>(std::lround(pixelsPerEm * 64.0f));
    if (FT_Set_Char_Size(face, size26_6, size26_6, 72, 72) != 0) Fail("cannot size the font");
    FT_Matrix narrow{static_cast<FT_Fixed>(std::lround(widthFactor * 65536.0f)), 0, 0, 0x10000};
    FT_Set_Transform(face, &narrow, nullptr);
    Load(face, c, FT_LOAD_DEFAULT);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) Fail("cannot render a glyph");
    FT_Set_Transform(face, nullptr, nullptr);

    const FT_Bitmap& src = face->glyph->bitmap;
    const int w = static_cast<int>(src.width);
    const int h = static_cast<int>(src.rows);
    // The faintest fringe is dropped so that every pixel kept shows as ink,
    // then the box is trimmed to what is left.
    auto cov = [&](int x, int y) {
        const std::uint8_t* row =
            src.pitch >= 0 ? src.buffer + y * src.pitch : src.buffer + (h - 1 - y) * -src.pitch;
        const std::uint8_t v = row[x];
        return v < 3 ? std::uint8_t{0} : v;
    };
    int x0 = w, x1 = -1, y0 = h, y1 = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (cov(x, y) == 0) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    GlyphBitmap out;
    if (x1 < 0) return out;
    out.width = x1 - x0 + 1;
    out.rows = y1 - y0 + 1;
    out.coverage.reserve(static_cast<size_t>(out.width) * out.rows);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) out.coverage.push_back(cov(x, y));
    }
    return out;
}
