// Small helpers the asset writers share: whole-file output and the
// little-endian packing that BMP, WAVE and ICO headers need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void PutU8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }

inline void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

inline void PutU32(Bytes& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// Four ASCII characters, as RIFF chunk tags are stored.
inline void PutTag(Bytes& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) PutU8(out, static_cast<unsigned char>(tag[i]));
}

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// Writes the whole file or ends the generator with a message.
void WriteFile(const std::string& path, const Bytes& bytes);
void WriteTextFile(const std::string& path, const std::string& text);
