#include "render/TextResource.h"

#include "platform/Resources.h"

std::size_t LoadTextResource(int id, char* destination, std::size_t capacity) {
    const ResourceBytes text = FindResourceBytes(id, kTextFileResource);
    return CutShaderText(text.data, text.data != nullptr ? text.size : 0, destination, capacity);
}
