// The walk over the chunks of a RIFF/WAVE image that finds its format
// record and its sample data. Portable; every read stays inside the image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/SoundDevice.h"

struct WaveChunks {
    WaveFormatRecord format;                    // the first "fmt " body
    const unsigned char* sampleData = nullptr;  // the "data" body
    std::uint32_t sampleLength = 0;
};

// Walks the chunks of `image` (`size` bytes) until both a format record and
// sample data are known; true then. On failure `chunks` keeps what the walk
// had found, the sample data included.
//
// A first "fmt " chunk shorter than the basic 14-byte record fails at once;
// later "fmt " chunks and unknown chunks are skipped; chunks start on even
// offsets. The image's own sizes are trusted only as far as the image goes:
// the walk ends at the RIFF size or the image's end, whichever comes first;
// a chunk running past the image ends it with failure, except a "data" chunk,
// whose length is held to the bytes the image has.
bool WalkRiffWave(const unsigned char* image, std::size_t size, WaveChunks* chunks);
