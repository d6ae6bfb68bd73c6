// Paths of files in the source tree, for tests that compare embedded bytes
// with the files they came from. Under Wine, drive Z: is the Linux root.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline std::string SourcePath(const std::string& relative) {
#ifdef _WIN32
    return std::string("Z:") + TOLVANE_SOURCE_DIR + "/" + relative;
#else
    return std::string(TOLVANE_SOURCE_DIR) + "/" + relative;
#endif
}

inline std::string ReadSourceFile(const std::string& relative) {
    std::ifstream in(SourcePath(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
