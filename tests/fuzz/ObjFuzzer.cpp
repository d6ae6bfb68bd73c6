// libFuzzer target for the OBJ pass. The input up to its first NUL byte is
// the OBJ text, the rest the MTL text that its "mtllib" lines load, so the
// material pass sees fuzzed names on both sides.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string_view>

#include "mesh/ObjLoader.h"

namespace {

// Progress text goes nowhere: writing it would only slow the fuzzer down.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view obj = input.substr(0, split);
    const std::string_view mtl =
        split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);

    NullBuffer buffer;
    std::ostream progress(&buffer);
    objl::ResourceLoader loader(progress);
    const bool loaded = loader.LoadObjText(obj, mtl);

    // What the import relies on: whole triangles inside the vertex lists.
    std::size_t meshVertices = 0;
    for (const objl::Mesh& mesh : loader.LoadedMeshes()) {
        Check(mesh.indices.size() % 3 == 0 && !mesh.indices.empty());
        for (std::uint32_t i : mesh.indices) Check(i < mesh.vertices.size());
        meshVertices += mesh.vertices.size();
    }
    Check(meshVertices <= loader.LoadedVertices().size());
    Check(loader.LoadedIndices().size() % 3 == 0);
    for (std::uint32_t i : loader.LoadedIndices()) Check(i < loader.LoadedVertices().size());
    Check(loaded == !(loader.LoadedMeshes().empty() && loader.LoadedVertices().empty() &&
                      loader.LoadedIndices().empty()));
    return 0;
}
