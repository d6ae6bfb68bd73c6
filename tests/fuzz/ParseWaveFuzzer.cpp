// libFuzzer target for the RIFF/WAVE walk: any bytes at all, and whatever
// the walk reports must lie inside them. AddressSanitizer catches a read
// beyond the input; a report that points outside it traps.
#include <cstddef>
#include <cstdint>

#include "sound/RiffWave.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WaveChunks chunks;
    const bool found = WalkRiffWave(data, size, &chunks);
    const unsigned char* end = data + size;

    if (chunks.sampleData != nullptr) {
        Require(chunks.sampleData >= data && chunks.sampleData <= end);
        Require(chunks.sampleLength <= static_cast<std::size_t>(end - chunks.sampleData));
        // Touch every sample byte, as the buffer fill would.
        volatile unsigned sum = 0;
        for (std::uint32_t i = 0; i < chunks.sampleLength; ++i) sum = sum + chunks.sampleData[i];
    }
    if (chunks.format.bytes != nullptr) {
        Require(chunks.format.bytes >= data && chunks.format.bytes <= end);
        Require(chunks.format.readable == static_cast<std::size_t>(end - chunks.format.bytes));
        Require(chunks.format.size >= 14 && chunks.format.size <= chunks.format.readable);
        volatile unsigned sum = 0;
        for (std::size_t i = 0; i < chunks.format.readable; ++i) sum = sum + chunks.format.bytes[i];
    }
    if (found) Require(chunks.format.bytes != nullptr && chunks.sampleData != nullptr);
    return 0;
}
