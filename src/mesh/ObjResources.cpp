// The loads from the "TEXTFILE" resources of the executable.
#include <string_view>

#include "mesh/ObjLoader.h"
#include "platform/Resources.h"

namespace objl {

namespace {

// Exactly the resource's bytes; a missing resource is an empty text.
std::string_view ResourceText(std::uint16_t id) {
    const ResourceBytes bytes = FindResourceBytes(id, kTextFileResource);
    if (bytes.data == nullptr) return {};
    return {reinterpret_cast<const char*>(bytes.data), bytes.size};
}

}  // namespace

bool ResourceLoader::LoadObjResource(std::uint16_t objId, std::uint16_t mtlId) {
    return LoadObjText(ResourceText(objId), ResourceText(mtlId));
}

bool ResourceLoader::LoadMtlResource(std::uint16_t mtlId) {
    return LoadMtlText(ResourceText(mtlId));
}

}  // namespace objl
