// Lookup of "WAVE" resources by resource name, as the player takes them: a
// string, or an integer id in the form Windows writes it.
#pragma once

#include "platform/Resources.h"

// The bytes of the "WAVE" resource `name`; {null, 0} when it is missing or
// cannot be locked.
inline ResourceBytes FindWaveResource(const char* name) {
    return FindNamedResourceBytes(name, kWaveResource);
}
