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
#pragma once

#include <cstdint>

#include "clock/ClockPicture.h"
#include "render/SampleCopy.h"

class CRestingPicture {
public:
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

    // Deletes the GL objects, with the context they were made in current;
    // the next frame draws them again.
    void Release();

private:
    GLFWSampleCopy background_;
    GLFWSampleCopy still_;
    ClockPicture stillPicture_;
};
