#include "render/ShaderText.h"

#include <cstring>

std::size_t CutShaderText(const unsigned char* bytes, std::size_t size, char* destination,
                          std::size_t capacity) {
    std::size_t i = 0;
    while (i < size && i < capacity && bytes[i] != '~') {
        destination[i] = static_cast<char>(bytes[i]);
        ++i;
    }
    std::memset(destination + i, 0, kTextTerminatorBytes);
    return i;
}
