// tolvane-assetgen OUTDIR: writes every generated asset into OUTDIR.
//
// The output depends only on this program and the packages it reads (the
// font, FreeType, zlib), never on the time, the locale, the machine or random
// state, so two runs give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "AssetWriter.h"
#include "Background.h"
#include "ClickSound.h"
#include "FontFace.h"
#include "GlyphAtlas.h"
#include "IconFile.h"
#include "ImageFiles.h"
#include "PreviewPicture.h"
#include "TileMotif.h"
#include "WindowIcon.h"

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "tolvane-assetgen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void WriteTextFile(const std::string& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

namespace {

// Six images: 32 and 16 pixels at 4, 8 and 32 bits per pixel.
Bytes MakeFileIcon(const FontFace& font, Motif motif) {
    const Canvas large = DrawMotif(font, motif, 32);
    const Canvas small = DrawMotif(font, motif, 16);
    return EncodeIcon(
        {{&large, 4}, {&small, 4}, {&large, 8}, {&small, 8}, {&large, 32}, {&small, 32}});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvane-assetgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "tolvane-assetgen: cannot create %s\n", dir.c_str());
        return 1;
    }
    const FontFace font(DefaultFontPath());
    WriteTextFile(dir + "/window_icon.cpp", WindowIconSource(DrawMotif(font, Motif::TilePair, 64)));
    WriteFile(dir + "/glyph_atlas.bmp", EncodeBmp(MakeGlyphAtlas(font), 24));
    WriteFile(dir + "/background.bmp", EncodeBmp(MakeBackground(), 24));
    WriteFile(dir + "/about_clock.bmp", EncodeBmp(MakePreviewPicture(font), 32));
    WriteFile(dir + "/click.wav", MakeClickSound());
    WriteFile(dir + "/tolvane.ico", MakeFileIcon(font, Motif::TilePair));
    WriteFile(dir + "/tolvane_tile.ico", MakeFileIcon(font, Motif::SingleTile));
    WriteFile(dir + "/emblem.png", EncodePng(DrawMotif(font, Motif::TilePair, 2400)));
    return 0;
}
