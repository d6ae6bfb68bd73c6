// Small RIFF/WAVE images built byte by byte, for the player's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace wave {

using Bytes = std::vector<unsigned char>;

inline void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
}

// Byte by byte: GCC 12 at -O2 takes vector range inserts of a few bytes for
// overflows and warns.
inline void Append(Bytes& bytes, const Bytes& more) {
    for (unsigned char byte : more) bytes.push_back(byte);
}

inline void AppendU32(Bytes& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

inline void AppendTag(Bytes& bytes, const std::string& tag) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(tag.at(i)));
}

// A chunk header that declares `size` body bytes, whatever follows it.
inline Bytes Header(const std::string& tag, std::uint32_t size) {
    Bytes out;
    AppendTag(out, tag);
    AppendU32(out, size);
    return out;
}

// A whole chunk: header, body, and a pad byte after an odd body.
inline Bytes Chunk(const std::string& tag, const Bytes& body) {
    Bytes out = Header(tag, static_cast<std::uint32_t>(body.size()));
    Append(out, body);
    if (body.size() % 2 == 1) out.push_back(0);
    return out;
}

// The basic PCM format record (16 bytes), cut to `size` or zero-extended.
inline Bytes PcmFormat(std::uint16_t channels = 1, std::uint32_t rate = 44100,
                       std::uint16_t bits = 16, std::size_t size = 16) {
    Bytes out(16);
    const std::uint32_t block = channels * bits / 8u;
    out[0] = 1;
    out[2] = static_cast<unsigned char>(channels);
    PutU32(out, 4, rate);
    PutU32(out, 8, rate * block);
    out[12] = static_cast<unsigned char>(block);
    out[14] = static_cast<unsigned char>(bits);
    out.resize(size, 0);
    return out;
}

// `count` sample bytes that differ from their neighbours.
inline Bytes Samples(std::size_t count, unsigned char first = 1) {
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(first + 7 * i);
    return out;
}

// "RIFF", the size of everything after the size field, the form, the chunks.
inline Bytes Riff(std::initializer_list<Bytes> chunks, const std::string& form = "WAVE") {
    Bytes out;
    AppendTag(out, "RIFF");
    AppendU32(out, 0);
    AppendTag(out, form);
    for (const Bytes& chunk : chunks) Append(out, chunk);
    PutU32(out, 4, static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

}  // namespace wave
