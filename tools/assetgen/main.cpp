// tolvane-assetgen OUTDIR: writes every generated asset into OUTDIR.
//
// The output depends only on this program and the packages it reads (fonts),
// never on the time, the machine or random state, so two runs give the same
// bytes.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "AssetWriter.h"
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

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvane-assetgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::string mkdir = "mkdir -p '" + dir + "'";
    if (std::system(mkdir.c_str()) != 0) {
        std::fprintf(stderr, "tolvane-assetgen: cannot create %s\n", dir.c_str());
        return 1;
    }
    WriteTextFile(dir + "/window_icon.cpp", WindowIconSource());
    return 0;
}
