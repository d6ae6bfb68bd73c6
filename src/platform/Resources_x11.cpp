// Resource lookup on Linux: the table the build embeds from the same
// resource script that Windows compiles with windres.
#include <cstring>

#include "platform/EmbeddedResources.h"
#include "platform/Resources.h"

ResourceBytes FindResourceBytes(int id, ResourceType type) {
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = kEmbeddedResources[i];
        if (r.id != id) continue;
        const bool sameType = type.name != nullptr
                                  ? r.typeName != nullptr && std::strcmp(r.typeName, type.name) == 0
                                  : r.typeName == nullptr && r.typeNumber == type.number;
        if (sameType) return {r.begin, static_cast<std::size_t>(r.end - r.begin)};
    }
    return {};
}
