// A colour buffer that keeps an exact copy of what a framebuffer holds,
// sample for sample, to be put back into it later: a picture drawn once and
// copied into many frames gives the very pixels of drawing it each time.
//
// The copy takes the framebuffer's colour format and, unless asked for one
// sample, its sample count. A single-sample copy put back into a
// multisampled framebuffer fills each pixel's samples with that pixel's
// value: exact only for a picture that covers every sample of a pixel
// alike. Where no exact copy can be had (a colour format it cannot match, a
// driver that refuses the copy) it says so, and the caller draws instead.
#pragma once

#include <cstdint>

#include "platform/PixelRect.h"

// Takes the errors GL has recorded so far, so that the next glGetError
// tells of the calls after it.
void ClearGLErrors();

// The sample count of the draw framebuffer now bound, named framebuffer, and
// a colour format a renderbuffer can take that holds its colour exactly:
// format 0 where there is none.
void ReadFramebufferKind(std::uint32_t framebuffer, std::int32_t* samples, std::uint32_t* format);

// Gives *framebuffer (made if 0) a colour renderbuffer *colour of format and
// samples, and where depth is given a depth and stencil one, of width x
// height; true when it is complete and GL reported no error. Leaves
// *framebuffer bound.
bool StoreFramebuffer(std::uint32_t* framebuffer, std::uint32_t* colour, std::uint32_t* depth,
                      std::int32_t samples, std::uint32_t format, std::int32_t width,
                      std::int32_t height);

// Clears the depth buffer of the bound framebuffer in rect, its own
// coordinates: where tiles are to be drawn over a picture put back, which
// fills every pixel. A software renderer's clear of a whole multisampled
// depth buffer costs more than the rest of a frame of the fall.
void ClearDepthIn(const PixelRect& rect);

// A copy's samples: those of the framebuffer, or one a pixel (exact only
// for a picture that covers every sample of a pixel alike).
enum class CopySamples : std::uint8_t { AsFramebuffer, One };

// A copy's rows put back as they are, or mirrored for a framebuffer whose
// rows run the other way (render/SceneTarget.h).
enum class CopyRows : std::uint8_t { AsFramebuffer, Mirrored };

class GLFWSampleCopy {
public:
    // Makes the copy's storage fit region of the draw framebuffer now bound
    // (its storage that size): rectangles given to the copies below are the
    // framebuffer's, inside region. The framebuffer is taken to keep its
    // sample count and format while it keeps its size, as a window does, so
    // this reads them only when the framebuffer or the region changes.
    // False when no exact copy of it can be had.
    bool Fit(const PixelRect& region, CopySamples samples);

    // Whether the copy holds a picture: drawn into it or taken from the
    // framebuffer since it was last fitted to another framebuffer or size.
    bool Filled() const { return filled_; }

    // Draws into a copy of the whole framebuffer: clears it to the default
    // black and runs draw, with the copy as the draw framebuffer; the
    // caller's bindings are put back afterwards.
    void DrawInto(void (*draw)());

    // Copies rect of the fitted framebuffer into the same rectangle of the
    // copy; what the copy held elsewhere is kept. False when the driver
    // refused the copy.
    bool TakeFromFramebuffer(const PixelRect& rect);

    // Copies rect of the copy into the same rectangle of the framebuffer,
    // or, mirrored, into the rows that mirror it about the middle of the
    // region.
    bool PutIntoFramebuffer(const PixelRect& rect, CopyRows rows);

    // Deletes the GL objects, with the context they were made in current
    // (a framebuffer belongs to its context alone).
    void Release();

private:
    bool Blit(bool take, const PixelRect& rect, CopyRows rows);

    // What the copy was fitted to, and whether it can copy it exactly.
    bool fitted_ = false;
    std::uint32_t target_ = 0;
    PixelRect region_;
    CopySamples samples_ = CopySamples::AsFramebuffer;
    bool usable_ = false;
    bool filled_ = false;
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colour_ = 0;
};
