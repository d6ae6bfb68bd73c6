// The resource table that the Linux build embeds (tools/embed_resources.py
// writes it from resources/Tolvane.rc).
#pragma once

#include <cstring>

#include "platform/Resources.h"

struct EmbeddedResource {
    int id;
    const char* typeName;  // custom type, or null for a standard one
    int typeNumber;
    int language;
    const unsigned char* begin;
    const unsigned char* end;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const int kEmbeddedResourceCount;

// True when the table's row is of the given type.
inline bool IsOfType(const EmbeddedResource& row, ResourceType type) {
    return type.name != nullptr
               ? row.typeName != nullptr && std::strcmp(row.typeName, type.name) == 0
               : row.typeName == nullptr && row.typeNumber == type.number;
}
