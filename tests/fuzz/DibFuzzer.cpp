// libFuzzer target for the bitmap reader: any bytes as a BITMAP resource,
// read into a texture-sized buffer of every shape the caller may ask for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/Dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DibImage image;
    const bool ok = ParseDib(data, size, &image);
    if (ok) {
        // Whatever the header says, the rows lie inside the bytes.
        const std::size_t rowsEnd =
            static_cast<std::size_t>(image.pixels - data) + image.stride * image.height;
        if (rowsEnd > size) std::abort();
    }
    // Sizes smaller than, equal to and larger than the picture.
    for (int side : {1, 4, 16}) {
        std::vector<float> texels(static_cast<std::size_t>(side) * side * 4);
        DibToTexels(ok ? &image : nullptr, texels.data(), side, side);
        for (std::size_t i = 3; i < texels.size(); i += 4) {
            if (texels[i] != 1.0f) std::abort();
        }
    }
    return 0;
}
