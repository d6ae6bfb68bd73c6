#include "ResourceReading.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

std::optional<Dib> ReadDib(ByteReader bytes, int rows) {
    const auto headerSize = bytes.U32(0);
    const auto width = bytes.I32(4);
    const auto height = bytes.I32(8);
    const auto bitCount = bytes.U16(14);
    const auto compression = bytes.U32(16);
    const auto coloursUsed = bytes.U32(32);
    // The last field read lies furthest in: when it is there, all are.
    if (!coloursUsed || *headerSize < 40 || *width <= 0 || *height == 0 ||
        *height == std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    Dib dib;
    dib.width = *width;
    dib.height = std::abs(*height);
    dib.bottomUp = *height > 0;
    dib.bitCount = static_cast<int>(*bitCount);
    dib.compression = static_cast<int>(*compression);
    if (dib.bitCount <= 8) {
        if (*coloursUsed > (1u << dib.bitCount)) return std::nullopt;
        dib.paletteSize = *coloursUsed ? static_cast<int>(*coloursUsed) : 1 << dib.bitCount;
    }
    dib.paletteOffset = *headerSize;
    dib.pixelOffset = dib.paletteOffset + 4u * dib.paletteSize;
    dib.stride = (static_cast<std::size_t>(dib.width) * dib.bitCount + 31) / 32 * 4;
    const auto maxRows = std::numeric_limits<std::size_t>::max() / dib.stride;
    if (rows < 0 || rows > dib.height || static_cast<std::size_t>(rows) > maxRows ||
        !bytes.Has(dib.pixelOffset, dib.stride * rows)) {
        return std::nullopt;
    }
    dib.bytes = bytes;
    return dib;
}

std::optional<Dib> ReadDib(ByteReader bytes) {
    const auto height = bytes.I32(8);
    if (!height) return std::nullopt;
    return ReadDib(bytes, std::abs(*height));
}
