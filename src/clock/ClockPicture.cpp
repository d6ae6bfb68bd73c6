#include "clock/ClockPicture.h"

#include <cmath>

#include "clock/FlipTiles.h"

namespace {
constexpr int kFirstShown = 4;
constexpr int kShownCount = 6;
constexpr float kRestingAngle = 180.0f;
}  // namespace

bool operator==(const ClockPicture& a, const ClockPicture& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int i = 0; i < kShownCount; ++i) {
        if (a.shown[i] != b.shown[i] || a.coming[i] != b.coming[i] ||
            a.flipping[i] != b.flipping[i] || a.angle[i] != b.angle[i]) {
            return false;
        }
    }
    return true;
}

ClockPicture CurrentClockPicture(std::int32_t width, std::int32_t height) {
    ClockPicture picture;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < kShownCount; ++i) {
        const int p = kFirstShown + i;
        picture.shown[i] = g_currentDigits[p];
        picture.coming[i] = g_upcomingDigits[p];
        picture.flipping[i] = g_tileFlipping[p];
        // An idle position draws no flap, whatever angle it kept.
        picture.angle[i] = g_tileFlipping[p] != 0 ? g_tileAngle[p] : 0.0f;
    }
    return picture;
}

std::uint32_t FallingPositions(const ClockPicture& picture) {
    std::uint32_t falling = 0;
    for (int i = 0; i < kShownCount; ++i) {
        if (picture.flipping[i] != 0 && picture.angle[i] < kRestingAngle) {
            falling |= 1u << (kFirstShown + i);
        }
    }
    return falling;
}

ClockPicture StillPart(const ClockPicture& picture) {
    ClockPicture still = picture;
    const std::uint32_t falling = FallingPositions(picture);
    for (int i = 0; i < kShownCount; ++i) {
        if ((falling & (1u << (kFirstShown + i))) == 0) continue;
        // Marked apart from every drawn state, whatever its glyphs.
        still.shown[i] = still.coming[i] = -1;
        still.flipping[i] = 0xFF;
        still.angle[i] = 0.0f;
    }
    return still;
}

ClockPicture BehindFlaps(const ClockPicture& picture) {
    ClockPicture behind = picture;
    const std::uint32_t falling = FallingPositions(picture);
    for (int i = 0; i < kShownCount; ++i) {
        // An angle no flap is drawn at.
        if ((falling & (1u << (kFirstShown + i))) != 0) behind.angle[i] = -1.0f;
    }
    return behind;
}

std::uint32_t RedrawnPositions(const ClockPicture& from, const ClockPicture& to) {
    int first = kShownCount;
    int last = -1;
    for (int i = 0; i < kShownCount; ++i) {
        if (from.shown[i] != to.shown[i] || from.coming[i] != to.coming[i] ||
            from.flipping[i] != to.flipping[i] || from.angle[i] != to.angle[i]) {
            if (first == kShownCount) first = i;
            last = i;
        }
    }
    std::uint32_t positions = 0;
    // Groups are the pairs of shown indices (0, 1), (2, 3), (4, 5).
    for (int i = first - first % 2; i <= last + 1 - last % 2 && i < kShownCount; ++i) {
        positions |= 1u << (kFirstShown + i);
    }
    return positions;
}

double NextPictureChange(const ClockPicture& picture, double x) {
    return FallingPositions(picture) != 0 ? x : std::floor(x * 2.0 + 1.0) / 2.0;
}
