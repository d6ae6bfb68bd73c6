// Lookup of "WAVE" resources by resource name, as the player takes them.
//
// Implemented by WaveResource_win32.cpp (the executable's own resources) and
// WaveResource_x11.cpp (the embedded resource table).
#pragma once

#include <cstdint>

#include "platform/Resources.h"

// An integer resource name: the id itself in place of a string pointer, as
// Windows writes it.
inline const char* IntegerResourceName(std::uint16_t id) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id));
}

inline bool IsIntegerResourceName(const char* name) {
    return reinterpret_cast<std::uintptr_t>(name) >> 16 == 0;
}

// The bytes of the "WAVE" resource `name`; {null, 0} when it is missing or
// cannot be locked.
ResourceBytes FindWaveResource(const char* name);
