// What a frame of the clock does, decided apart from how it is done.
//
// Each window draws through a frame output of its own (CFrameOutput), made
// once with the window: it says what it can do and what it holds from
// earlier frames (FrameOutputState); PlanClockFrame, a pure function of
// that and the new picture, decides the frame's steps (FramePlan);
// RenderClockFrame carries them out on the output. Every plan gives the very
// pixels of the whole scene drawn in place, the way of drawing it aside.
#pragma once

#include <cstdint>

#include "clock/ClockPicture.h"
#include "platform/PixelRect.h"

struct ClockView;

// What an output can do, and what it holds for the frame to build on.
struct FrameOutputState {
    // Kept copies of a frame's parts: the background, and while a flap
    // falls the still picture (StillPart), taken from the frame drawn into
    // the window.
    bool keepsCopies = false;
    bool holdsStill = false;
    ClockPicture still;
    // A picture of its own kept whole from frame to frame, of which a frame
    // redraws the changed rectangle and presents only that; while a flap
    // falls it keeps what lies behind the flaps (BehindFlaps) around the
    // falling positions.
    bool keepsPicture = false;
    bool holdsPicture = false;
    ClockPicture picture;
    std::uint32_t behindPositions = 0;  // none: nothing behind the flaps kept
    ClockPicture behind;
    bool shownLost = false;  // the window system lost what the window showed
};

// What a frame puts into the framebuffer before its tiles.
enum class PutBack : std::uint8_t {
    Drawn,        // nothing kept: cleared, and the background pass drawn in place
    Background,   // the background copy, in area
    Still,        // the still picture, the whole frame
    BehindFlaps,  // what lies behind the flaps, in area
};

// What a frame keeps once its first tiles are drawn.
enum class Keep : std::uint8_t { Nothing, Still, BehindFlaps };

// The steps of one frame, in order.
struct FramePlan {
    ClockPicture picture;  // what the frame shows
    PutBack putBack = PutBack::Drawn;
    PixelRect area;           // window coordinates of what is put back
    PixelRect depth;          // where the depth is cleared for the tiles; empty: none
    std::uint32_t tiles = 0;  // positions drawn whole (DrawTiles)
    std::uint32_t backs = 0;  // positions whose layers behind the flap are drawn
    Keep keep = Keep::Nothing;
    ClockPicture kept;  // what the kept copy then holds
    std::uint32_t keptPositions = 0;
    PixelRect keptRect;         // window coordinates of what is kept
    PixelRect allTiles;         // where any tile can draw: all a copy behind the flaps spans
    std::uint32_t flaps = 0;    // positions whose flaps are then drawn
    std::uint32_t falling = 0;  // positions drawn whole last (DrawTiles)
    PixelRect present;          // what reaches the screen
};

// The frame of picture seen through view, on an output in state.
FramePlan PlanClockFrame(const ClockPicture& picture, const ClockView& view,
                         const FrameOutputState& state);

// Where a window's frames are drawn, kept and presented. The host makes one
// per window (host/FrameOutputs.h); RenderClockFrame draws through it, and
// the loop presents through it. Calls come with the window's context current.
class CFrameOutput {
public:
    virtual ~CFrameOutput() = default;

    virtual FrameOutputState State() const = 0;

    // Binds the framebuffer the frame is drawn into, puts back what the plan
    // says and clears the depth where its tiles go; drawBackground draws the
    // background pass into a copy once per size. False where no framebuffer
    // or copy can be had: the frame is then drawn whole in place into the
    // window and presented whole, and End is not called.
    virtual bool Begin(const FramePlan& plan, void (*drawBackground)()) = 0;

    // Keeps what the plan says from what the frame has drawn so far.
    virtual void Keep(const FramePlan& plan) = 0;

    // The frame is drawn: it goes into the window, whose framebuffer is
    // bound again.
    virtual void End(const FramePlan& plan) = 0;

    // Shows the last frame drawn.
    virtual void Present() = 0;

    // The window system lost what the window showed (an expose).
    virtual void ShownLost() = 0;

    // Deletes the GL objects, with the context they were made in current.
    virtual void Release() = 0;
};
