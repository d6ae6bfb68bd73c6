// Lookup of the resources compiled into the executable, by numeric id and
// type. Windows: FindResourceA, LoadResource, SizeofResource, LockResource on
// the executable's own module. Linux: the table that the build embeds from
// the same resource script. The bytes are read-only and live as long as the
// process; nothing is ever freed.
#pragma once

#include <cstddef>
#include <cstdint>

// A resource type: a custom type named by a string, or a standard numeric one.
struct ResourceType {
    const char* name;  // "TEXTFILE", "WAVE", "PNG"; null for a standard type
    int number;        // RT_BITMAP 2, RT_ICON 3, RT_GROUP_ICON 14, RT_MANIFEST 24
};

inline constexpr ResourceType kTextFileResource{"TEXTFILE", 0};
inline constexpr ResourceType kWaveResource{"WAVE", 0};
inline constexpr ResourceType kPngResource{"PNG", 0};
inline constexpr ResourceType kBitmapResource{nullptr, 2};
inline constexpr ResourceType kIconResource{nullptr, 3};
inline constexpr ResourceType kGroupIconResource{nullptr, 14};
inline constexpr ResourceType kManifestResource{nullptr, 24};

struct ResourceBytes {
    const unsigned char* data = nullptr;  // null when the resource is missing
    std::size_t size = 0;
};

// The bytes of resource (id, type), whatever its language; {null, 0} when missing.
ResourceBytes FindResourceBytes(int id, ResourceType type);

// An integer resource name: the id itself in place of a string pointer, as
// Windows writes it.
inline const char* IntegerResourceName(std::uint16_t id) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id));
}

inline bool IsIntegerResourceName(const char* name) {
    return reinterpret_cast<std::uintptr_t>(name) >> 16 == 0;
}

// The same lookup by resource name: a string, or an integer name. The
// embedded table of the Linux build holds integer ids only, so a string
// finds nothing there.
ResourceBytes FindNamedResourceBytes(const char* name, ResourceType type);
