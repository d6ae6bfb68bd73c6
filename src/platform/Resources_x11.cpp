// Resource lookup on Linux: the table the build embeds from the same
// resource script that Windows compiles with windres.
#include <cstdint>

#include "platform/EmbeddedResources.h"
#include "platform/Resources.h"

ResourceBytes FindResourceBytes(int id, ResourceType type) {
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = kEmbeddedResources[i];
        if (r.id == id && IsOfType(r, type)) {
            return {r.begin, static_cast<std::size_t>(r.end - r.begin)};
        }
    }
    return {};
}

ResourceBytes FindNamedResourceBytes(const char* name, ResourceType type) {
    if (!IsIntegerResourceName(name)) return {};
    return FindResourceBytes(static_cast<int>(reinterpret_cast<std::uintptr_t>(name)), type);
}
