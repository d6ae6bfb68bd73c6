// What of a frame does not move, kept for one window, so that a frame draws
// only what moves: the background, and the tile positions that are not
// falling, while a flap falls.
//
// Two copies of the window's framebuffer (render/SampleCopy.h), sample for
// sample, so that a frame's pixels stay exactly those of the whole scene
// drawn in place; where no exact copy can be had, the caller draws in place.
//
// - The background, drawn once per size. Its picture depends on the size
//   alone (it is mapped by screen position), yet its float texture with the
//   driver's largest anisotropy is most of a frame's cost on a software
//   renderer. Where the background rectangle covers the whole window it
//   gives every sample of a pixel the same colour, so one sample a pixel is
//   kept and copied into each of them.
// - The still picture: the background and every position at rest or landed,
//   taken from a frame in which a flap falls once they are drawn there, and
//   copied into the next frames of the fall while the positions at rest,
//   their glyphs and the size stay the same. Positions far apart on the
//   screen (the groups do not overlap) and a depth test that every falling
//   layer passes over the background make the falling layers drawn over the
//   copy the same as drawn in their place in the pass.
//
// Where the window presents rectangles (platform/RectanglePresent.h) the
// frames are drawn offscreen instead, into a scene target of the window's
// (render/SceneTarget.h) that keeps the last picture whole: a frame puts
// back only the rectangle around the positions whose look changed, draws
// them there, and resolves and presents only that rectangle. What it puts
// back is the background, or, in a frame of a fall after its first, what
// lies behind the falling flaps: the still copy then holds that, around the
// tiles only, kept from the fall's first frame once the falling tiles'
// backs are drawn, and such a frame draws only the flaps.
#pragma once

#include <cstdint>

#include "clock/ClockPicture.h"
#include "platform/PixelRect.h"
#include "render/SampleCopy.h"
#include "render/SceneTarget.h"

class CRestingPicture {
public:
    // presentsRectangles: the window's frames are drawn offscreen and
    // presented by rectangle (WindowsPresentRectangles), else drawn into the
    // window and swapped whole.
    explicit CRestingPicture(bool presentsRectangles) : presentsRectangles_(presentsRectangles) {}

    bool PresentsRectangles() const { return presentsRectangles_; }

    // ---- frames drawn offscreen ---------------------------------------------

    // The positions a frame of picture draws: every shown one where the
    // target holds no picture of its size, else those whose look changed
    // since (RedrawnPositions); none where it holds this very picture (a
    // redraw the window system asked for).
    std::uint32_t PositionsToDraw(const ClockPicture& picture) const;

    // Whether the target holds a picture of width x height.
    bool HoldsPicture(std::int32_t width, std::int32_t height) const {
        return holds_ && held_.width == width && held_.height == height;
    }

    // Whether the still copy holds what lies behind the flaps of behind
    // (BehindFlaps) around each of positions: a frame of a fall after its
    // first, which then draws only the flaps.
    bool HoldsBehindFlaps(const ClockPicture& behind, std::uint32_t positions) const;

    // Begins a frame of picture that draws into area (window coordinates):
    // binds the target for drawing, the rows turned as the window's, with
    // area put back from what lies behind the flaps (HoldsBehindFlaps) or
    // else from the background (drawn into its copy with drawPass once per
    // size). False where no target can be had: the caller draws in place
    // into the window, which is presented whole.
    bool BeginOffscreen(const ClockPicture& picture, const PixelRect& area, bool behindFlaps,
                        void (*drawPass)());

    // Keeps what the target holds in rect (window coordinates) as what lies
    // behind the flaps of behind around positions, drawn there with their
    // flaps not yet.
    void KeepBehindFlaps(const ClockPicture& behind, std::uint32_t positions,
                         const PixelRect& rect);

    // A rectangle of the window in the bound target's coordinates.
    PixelRect InTarget(const PixelRect& rect) const { return target_.InTarget(rect); }

    // Ends the frame: resolves what is to be presented into the window,
    // whose framebuffer is bound again.
    void EndOffscreen();

    // What the last frame leaves to present: the area it drew, or the whole
    // window where it drew all, drew nothing, drew in place or the window had
    // lost what it showed.
    PixelRect PresentedRect() const { return present_; }

    // The window system lost what the window showed (an expose): the next
    // frame presents it whole.
    void ShownLost() { shownLost_ = true; }

    // ---- frames drawn into the window --------------------------------------

    // Copies the background of a width x height frame into the draw
    // framebuffer now bound, first drawing it into the copy with drawPass
    // when the framebuffer or the size changed. False where no exact copy
    // can be had: the caller draws the pass in place.
    bool CopyBackground(std::int32_t width, std::int32_t height, void (*drawPass)());

    // Copies the still picture into the draw framebuffer now bound when it
    // holds still (a frame's picture with its falling positions taken out,
    // StillPart) for that framebuffer; false otherwise.
    bool CopyStill(const ClockPicture& still);

    // Keeps what the draw framebuffer now bound holds as the still picture
    // still.
    void KeepStill(const ClockPicture& still);

    // ---- both ------------------------------------------------------------------

    // Deletes the GL objects, with the context they were made in current;
    // the next frame draws them again.
    void Release();

private:
    PixelRect StillRegion(const ClockPicture& picture) const;

    bool presentsRectangles_;
    GLFWSampleCopy background_;
    GLFWSampleCopy still_;
    ClockPicture stillPicture_;
    std::uint32_t stillPositions_ = 0;  // offscreen: the positions it holds
    GLFWSceneTarget target_;
    bool holds_ = false;  // the target holds held_
    ClockPicture held_;
    ClockPicture drawing_;
    bool shownLost_ = false;
    PixelRect present_;
};
