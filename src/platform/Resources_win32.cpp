// Resource lookup on Windows: the executable's own Win32 resources.
#include <windows.h>

#include "platform/Resources.h"

ResourceBytes FindNamedResourceBytes(const char* name, ResourceType type) {
    LPCSTR typeName = type.name != nullptr ? type.name : MAKEINTRESOURCEA(type.number);
    HRSRC found = FindResourceA(nullptr, name, typeName);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (loaded == nullptr) return {};
    const void* data = LockResource(loaded);
    if (data == nullptr) return {};
    return {static_cast<const unsigned char*>(data), SizeofResource(nullptr, found)};
}

ResourceBytes FindResourceBytes(int id, ResourceType type) {
    return FindNamedResourceBytes(MAKEINTRESOURCEA(id), type);
}
