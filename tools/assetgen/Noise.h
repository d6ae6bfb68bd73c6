// Reproducible pseudo-random numbers: an integer hash and a seeded
// generator of our own, so no library's distribution or seed source can make
// two runs differ.
#pragma once

#include <cstdint>

inline std::uint32_t Hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0) {
    std::uint64_t z = 0x9E3779B97F4A7C15ull * (a + 1) ^ 0xC2B2AE3D27D4EB4Full * (b + 7) ^
                      0x165667B19E3779F9ull * (c + 13);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 16);
}

// A value in [0, 1) from a hash.
inline float Unit(std::uint32_t h) { return static_cast<float>(h >> 8) / 16777216.0f; }

// A value in [-1, 1) that follows a fixed seed, one after another.
class NoiseSequence {
public:
    explicit NoiseSequence(std::uint32_t seed) : seed_(seed) {}
    double Next() { return Unit(Hash(seed_, counter_++)) * 2.0 - 1.0; }

private:
    std::uint32_t seed_;
    std::uint32_t counter_ = 0;
};
