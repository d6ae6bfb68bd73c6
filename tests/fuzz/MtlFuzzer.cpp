// libFuzzer target for the MTL pass: any bytes as a material library.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "mesh/ObjLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    objl::ResourceLoader loader;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Every load appends at least the material in progress.
    if (!loader.LoadMtlText(text) || loader.LoadedMaterials().empty()) std::abort();
    const std::size_t first = loader.LoadedMaterials().size();
    if (!loader.LoadMtlText(text) || loader.LoadedMaterials().size() != 2 * first) std::abort();
    return 0;
}
