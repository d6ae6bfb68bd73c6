// The two ways a window's frames reach the screen, one chosen per window
// before it opens (its sample count depends on it) and kept in the output
// it gets (clock/FramePlan.h says what a frame asks of it).
//
// - CWindowOutput: frames drawn into the four-sample window and swapped
//   whole. With kept copies (render/SampleCopy.h), sample for sample, so a
//   frame draws only what moves:
//   - the background, drawn once per size. Its picture depends on the size
//     alone (it is mapped by screen position), yet its float texture with
//     the driver's largest anisotropy is most of a frame's cost on a
//     software renderer. Where the background rectangle covers the whole
//     window it gives every sample of a pixel the same colour, so one
//     sample a pixel is kept and copied into each of them.
//   - the still picture: the background and every position at rest or
//     landed, taken from the first frame of a fall once they are drawn, and
//     put back into the next frames of the fall while the positions at
//     rest, their glyphs and the size stay the same. The groups do not
//     overlap, and every falling layer passes the depth test over the
//     background, so the falling tiles drawn over the copy are those drawn
//     in their place.
//   Without kept copies every frame is the whole scene drawn in place: the
//   bench's every-frame reference.
// - CRectangleOutput: frames drawn into a four-sample target of the
//   window's (render/SceneTarget.h) that keeps the last picture whole,
//   where the platform can show a rectangle of a single-sample window and
//   keep the rest (platform/RectanglePresent.h: Mesa's software renderer).
//   A frame puts back only the rectangle around the positions whose look
//   changed, draws them there, and resolves and presents only that. What it
//   puts back is the background, or, in a frame of a fall after its first,
//   what lies behind the falling flaps, kept around the tiles from the
//   fall's first frame once the falling tiles' backs are drawn; such a
//   frame draws only the flaps.
#pragma once

#include <memory>

#include "clock/FramePlan.h"
#include "render/SampleCopy.h"
#include "render/SceneTarget.h"

struct GLFWwindow;

enum class FrameOutputKind : std::uint8_t {
    Whole,       // into the window, every frame drawn whole
    KeptCopies,  // into the window, with the kept copies
    Rectangles,  // into a target of its own, the changed rectangle presented
};

// The kind every clock window gets: Rectangles where the platform presents
// rectangles, KeptCopies elsewhere. Needs the windowing library
// initialised; asks the platform each time.
FrameOutputKind ChooseFrameOutput();

// The samples a window of kind asks for: one where the frames are drawn
// with four offscreen, four otherwise.
int WindowSamples(FrameOutputKind kind);

// The output of kind for window (null in tests that read the pixels
// themselves: nothing is presented).
std::unique_ptr<CFrameOutput> MakeFrameOutput(FrameOutputKind kind, GLFWwindow* window);

class CWindowOutput final : public CFrameOutput {
public:
    // kind: Whole or KeptCopies.
    CWindowOutput(GLFWwindow* window, FrameOutputKind kind)
        : window_(window), keepCopies_(kind == FrameOutputKind::KeptCopies) {}

    FrameOutputState State() const override;
    bool Begin(const FramePlan& plan, void (*drawBackground)()) override;
    void Keep(const FramePlan& plan) override;
    void End(const FramePlan& /*plan*/) override {}
    void Present() override;
    void ShownLost() override {}
    void Release() override;

private:
    GLFWwindow* window_;
    bool keepCopies_;
    GLFWSampleCopy background_;
    GLFWSampleCopy still_;
    ClockPicture stillPicture_;
};

class CRectangleOutput final : public CFrameOutput {
public:
    explicit CRectangleOutput(GLFWwindow* window) : window_(window) {}

    FrameOutputState State() const override;
    bool Begin(const FramePlan& plan, void (*drawBackground)()) override;
    void Keep(const FramePlan& plan) override;
    void End(const FramePlan& plan) override;
    void Present() override;
    void ShownLost() override { shownLost_ = true; }
    void Release() override;

    // What the last frame leaves to present (window coordinates).
    PixelRect PresentedRect() const { return present_; }

private:
    PixelRect BehindRegion(const ClockPicture& picture) const;

    GLFWwindow* window_;
    GLFWSceneTarget target_;
    bool holds_ = false;  // the target holds held_
    ClockPicture held_;
    GLFWSampleCopy background_;
    GLFWSampleCopy behind_;  // what lies behind the flaps, around the tiles
    ClockPicture behindPicture_;
    std::uint32_t behindPositions_ = 0;
    bool shownLost_ = false;
    PixelRect present_;
    PixelRect presentedSize_;  // the window's size at the last frame
};
