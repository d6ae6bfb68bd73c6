#include "sound/RiffWave.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t ReadU32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

bool IsTag(const unsigned char* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

// The size of the basic wave format record: format tag, channels, samples
// per second, bytes per second, block alignment.
constexpr std::uint32_t kBasicFormatSize = 14;

}  // namespace

bool WalkRiffWave(const unsigned char* image, std::size_t size, WaveChunks* chunks) {
    *chunks = WaveChunks{};
    if (image == nullptr || size < 12) return false;
    if (!IsTag(image, "RIFF") || !IsTag(image + 8, "WAVE")) return false;

    // 64-bit arithmetic: no size in the image can wrap a position around.
    const std::uint64_t imageSize = size;
    const std::uint64_t end =
        std::min<std::uint64_t>(8 + std::uint64_t{ReadU32(image + 4)}, imageSize);
    bool haveFormat = false;
    std::uint64_t position = 12;
    while (position < end) {
        if (imageSize - position < 8) return false;
        const unsigned char* header = image + position;
        const std::uint64_t chunkSize = ReadU32(header + 4);
        const std::uint64_t body = position + 8;
        const std::uint64_t available = imageSize - body;

        if (IsTag(header, "fmt ") && !haveFormat) {
            if (chunkSize < kBasicFormatSize || chunkSize > available) return false;
            chunks->format = WaveFormatRecord{image + body, static_cast<std::uint32_t>(chunkSize),
                                              static_cast<std::size_t>(available)};
            haveFormat = true;
            if (chunks->sampleData != nullptr && chunks->sampleLength != 0) return true;
        } else if (IsTag(header, "data")) {
            chunks->sampleData = image + body;
            chunks->sampleLength = static_cast<std::uint32_t>(std::min(chunkSize, available));
            if (haveFormat) return true;
        }

        // A chunk running past the image leaves the position past the end.
        position = body + chunkSize + (chunkSize & 1);
    }
    return false;
}
