#include "clock/FramePlan.h"

#include "clock/FlipTiles.h"

namespace {

bool Empty(const PixelRect& rect) { return rect.width <= 0 || rect.height <= 0; }

// An output that keeps its picture: around the positions whose look
// changed, what lies behind their flaps put back (a frame of a fall after
// its first) and only their flaps drawn, or else the background put back
// and the positions drawn whole, what lies behind the falling flaps kept on
// the way. Only an output that holds no picture of the size draws it whole.
void PlanChangedRectangle(FramePlan& plan, const ClockView& view, const FrameOutputState& state) {
    const ClockPicture& picture = plan.picture;
    const PixelRect whole{0, 0, view.width, view.height};
    const bool holds = state.holdsPicture && state.picture.width == picture.width &&
                       state.picture.height == picture.height;
    const std::uint32_t positions =
        holds ? RedrawnPositions(state.picture, picture) : kShownPositions;
    const std::uint32_t falling = FallingPositions(picture);
    const ClockPicture behind = BehindFlaps(picture);
    const bool behindKept = positions != 0 && state.behindPositions != 0 &&
                            (positions & ~state.behindPositions) == 0 && behind == state.behind;
    const PixelRect tiles = TilePixels(positions, view);
    plan.putBack = behindKept ? PutBack::BehindFlaps : PutBack::Background;
    plan.area = holds ? tiles : whole;
    plan.depth = tiles;
    if (!behindKept) {
        plan.tiles = positions & ~falling;
        plan.backs = positions & falling;
        // Every falling position's backs are drawn: keep them.
        if (falling != 0 && (falling & ~positions) == 0) {
            plan.keep = Keep::BehindFlaps;
            plan.kept = behind;
            plan.keptPositions = falling;
            plan.keptRect = TilePixels(falling, view);
        }
    }
    plan.flaps = positions & falling;
    // Only the tiles fall: a copy of what lies behind them need hold no more.
    if (behindKept || plan.keep == Keep::BehindFlaps) {
        plan.allTiles = TilePixels(kShownPositions, view);
    }
    plan.present = state.shownLost || Empty(plan.area) ? whole : plan.area;
}

// An output drawn into the window and swapped whole: while a flap falls
// the rest of the picture stays the same, kept from the fall's first frame
// and put back into the next ones; otherwise the background is put back.
// What is put back fills every pixel, so depth is cleared only where tiles
// test it.
void PlanWithCopies(FramePlan& plan, const ClockView& view, const FrameOutputState& state) {
    const std::uint32_t falling = FallingPositions(plan.picture);
    const ClockPicture still = StillPart(plan.picture);
    plan.falling = falling;
    if (falling != 0 && state.holdsStill && state.still == still) {
        plan.putBack = PutBack::Still;
        plan.depth = TilePixels(falling, view);
        return;
    }
    plan.putBack = PutBack::Background;
    plan.depth = TilePixels(kShownPositions, view);
    plan.tiles = kShownPositions & ~falling;
    if (falling != 0) {
        plan.keep = Keep::Still;
        plan.kept = still;
    }
}

}  // namespace

FramePlan PlanClockFrame(const ClockPicture& picture, const ClockView& view,
                         const FrameOutputState& state) {
    FramePlan plan;
    plan.picture = picture;
    plan.area = plan.present = PixelRect{0, 0, view.width, view.height};
    if (state.keepsPicture) {
        PlanChangedRectangle(plan, view, state);
    } else if (state.keepsCopies) {
        PlanWithCopies(plan, view, state);
    } else {
        // The whole scene in place: the clear colour and depth stay at GL's
        // defaults, black and 1.0.
        plan.falling = FallingPositions(picture);
        plan.tiles = kShownPositions & ~plan.falling;
    }
    return plan;
}
