// What the clock's picture depends on, so that the main loop can tell a
// frame that would draw the same pixels as the last one presented, and when
// the picture can next change.
//
// The frame time (iTime) is not part of it: no shader output depends on it.
#pragma once

#include <cstdint>

#include "clock/ClockTime.h"

// The drawing size and, for each shown position 4 to 9, both glyphs, whether
// it flips and, while it flips, its flap angle as the shader receives it.
struct ClockPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    GlyphCode shown[6] = {};
    GlyphCode coming[6] = {};
    std::uint8_t flipping[6] = {};
    float angle[6] = {};
};

bool operator==(const ClockPicture& a, const ClockPicture& b);
inline bool operator!=(const ClockPicture& a, const ClockPicture& b) { return !(a == b); }

// The picture the clock state of this frame draws at the given size.
ClockPicture CurrentClockPicture(std::int32_t width, std::int32_t height);

// Bits (1 << position) of the positions whose flap is falling: flipping and
// not yet landed. Every other position looks the same from frame to frame.
std::uint32_t FallingPositions(const ClockPicture& picture);

// The picture with its falling positions taken out: what stays the same
// while they fall.
ClockPicture StillPart(const ClockPicture& picture);

// The picture with the angles of its falling flaps taken out: what lies
// behind the flaps, the same from frame to frame of a fall.
ClockPicture BehindFlaps(const ClockPicture& picture);

// Bits of the positions to draw again so that a framebuffer holding `from`
// holds `to` of the same size: whole groups (the two tiles of a group meet
// at their antialiased edges), from the first group whose look differs to
// the last, so that the rectangle around them holds no tile left as it was.
// Zero when the pictures are the same.
std::uint32_t RedrawnPositions(const ClockPicture& from, const ClockPicture& to);

// The clock time at which picture, that of a frame at clock time x, can
// next change: x itself while a flap is still falling (every frame of the
// fall differs), otherwise the next half second: on a whole second the
// upcoming record changes and a flip begins, on a half second the shown
// record catches up and the flip ends.
double NextPictureChange(const ClockPicture& picture, double x);
