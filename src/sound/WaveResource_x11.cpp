// "WAVE" resources on Linux: the embedded resource table. Lacks string
// names: the table holds integer ids only, so a string finds nothing.
#include "sound/WaveResource.h"

ResourceBytes FindWaveResource(const char* name) {
    if (!IsIntegerResourceName(name)) return {};
    const auto id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    return FindResourceBytes(id, kWaveResource);
}
