// The language a resource carries, for the tests of the resource table:
// Windows asks FindResourceExA for each candidate, Linux reads the embedded
// table. -1 when the resource is missing or in another language.
#pragma once

#include "platform/Resources.h"

#ifdef _WIN32
#include <windows.h>

inline int ResourceLanguage(int id, ResourceType type) {
    LPCSTR typeName = type.name != nullptr ? type.name : MAKEINTRESOURCEA(type.number);
    for (WORD language : {WORD{1049}, WORD{1033}, WORD{0}}) {
        if (FindResourceExA(nullptr, typeName, MAKEINTRESOURCEA(id), language) != nullptr) {
            return language;
        }
    }
    return -1;
}
#else
#include "platform/EmbeddedResources.h"

inline int ResourceLanguage(int id, ResourceType type) {
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = kEmbeddedResources[i];
        if (r.id == id && IsOfType(r, type)) return r.language;
    }
    return -1;
}
#endif
