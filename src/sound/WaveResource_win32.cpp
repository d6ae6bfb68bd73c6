// "WAVE" resources on Windows: the executable's own module, by string or
// integer name. Lacks nothing.
#include <windows.h>

#include "sound/WaveResource.h"

ResourceBytes FindWaveResource(const char* name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, "WAVE");
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    const void* data = LockResource(loaded);
    if (data == nullptr) return {};
    return {static_cast<const unsigned char*>(data), SizeofResource(module, found)};
}
