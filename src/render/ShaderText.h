// Shader text cut at its end mark.
#pragma once

#include <cstddef>

// The bytes a shader text buffer holds beyond its capacity: the four zero
// bytes written after the text.
inline constexpr std::size_t kTextTerminatorBytes = 4;

// Copies bytes into destination up to, not including, the first '~', then
// writes four zero bytes after the text. Stops at the end of the bytes and
// at capacity, so destination needs capacity + 4 bytes. Returns the length.
std::size_t CutShaderText(const unsigned char* bytes, std::size_t size, char* destination,
                          std::size_t capacity);
