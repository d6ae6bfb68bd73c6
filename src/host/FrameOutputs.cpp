#include "host/FrameOutputs.h"

#include "clock/FlipTiles.h"
#include "platform/RectanglePresent.h"

#include <GLFW/glfw3.h>

namespace {

// The background rectangle reaches 1250 world units either side of the
// centre, 1184.9 above it and 1315.1 below: it covers the whole window,
// every sample of every pixel alike, up to an aspect ratio of 2.5, and down
// to one of about 0.53, where the window's growing height reaches its top.
constexpr float kBackgroundTop = 1184.9f;

CopySamples BackgroundSamples(std::int32_t width, std::int32_t height) {
    const bool covers =
        2 * static_cast<std::int64_t>(width) <= 5 * static_cast<std::int64_t>(height) &&
        ClockViewOf(width, height).halfHeight <= kBackgroundTop;
    return covers ? CopySamples::One : CopySamples::AsFramebuffer;
}

// Fits background to the bound framebuffer at the picture's size, drawing
// it with drawPass where it holds nothing yet.
bool ReadyBackground(GLFWSampleCopy& background, const ClockPicture& picture, void (*drawPass)()) {
    if (!background.Fit(PixelRect{0, 0, picture.width, picture.height},
                        BackgroundSamples(picture.width, picture.height))) {
        return false;
    }
    if (!background.Filled()) background.DrawInto(drawPass);
    return true;
}

bool Empty(const PixelRect& rect) { return rect.width <= 0 || rect.height <= 0; }

}  // namespace

FrameOutputKind ChooseFrameOutput() {
    return CanPresentRectangles() ? FrameOutputKind::Rectangles : FrameOutputKind::KeptCopies;
}

int WindowSamples(FrameOutputKind kind) { return kind == FrameOutputKind::Rectangles ? 0 : 4; }

std::unique_ptr<CFrameOutput> MakeFrameOutput(FrameOutputKind kind, GLFWwindow* window) {
    if (kind == FrameOutputKind::Rectangles) return std::make_unique<CRectangleOutput>(window);
    return std::make_unique<CWindowOutput>(window, kind);
}

// ---- into the window ----------------------------------------------------------

FrameOutputState CWindowOutput::State() const {
    FrameOutputState state;
    state.keepsCopies = keepCopies_;
    state.holdsStill = still_.Filled();
    state.still = stillPicture_;
    return state;
}

bool CWindowOutput::Begin(const FramePlan& plan, void (*drawBackground)()) {
    const PixelRect whole{0, 0, plan.picture.width, plan.picture.height};
    bool ready = true;
    if (plan.putBack == PutBack::Still) {
        ready = still_.Fit(whole, CopySamples::AsFramebuffer) && still_.Filled() &&
                still_.PutIntoFramebuffer(whole, CopyRows::AsFramebuffer);
    } else if (plan.putBack == PutBack::Background) {
        ready = ReadyBackground(background_, plan.picture, drawBackground) &&
                background_.PutIntoFramebuffer(whole, CopyRows::AsFramebuffer);
    }
    if (ready && !Empty(plan.depth)) ClearDepthIn(plan.depth);
    return ready;
}

void CWindowOutput::Keep(const FramePlan& plan) {
    const PixelRect whole{0, 0, plan.kept.width, plan.kept.height};
    if (still_.Fit(whole, CopySamples::AsFramebuffer) && still_.TakeFromFramebuffer(whole)) {
        stillPicture_ = plan.kept;
    }
}

void CWindowOutput::Present() { glfwSwapBuffers(window_); }

void CWindowOutput::Release() {
    background_.Release();
    still_.Release();
}

// ---- by rectangle ---------------------------------------------------------------

FrameOutputState CRectangleOutput::State() const {
    FrameOutputState state;
    state.keepsPicture = true;
    state.holdsPicture = holds_;
    state.picture = held_;
    state.behindPositions = behind_.Filled() ? behindPositions_ : 0;
    state.behind = behindPicture_;
    state.shownLost = shownLost_;
    return state;
}

bool CRectangleOutput::Begin(const FramePlan& plan, void (*drawBackground)()) {
    present_ = PixelRect{0, 0, plan.picture.width, plan.picture.height};
    if (presentedSize_.width != 0 &&
        (present_.width != presentedSize_.width || present_.height != presentedSize_.height)) {
        // Mesa's software renderer reads a window's size again only after a
        // swap: without one, the rectangles would still be copied out of a
        // buffer of the old size. The swap shows that buffer, which holds
        // what is on screen.
        glfwSwapBuffers(window_);
    }
    presentedSize_ = present_;
    if (!target_.Fit(plan.picture.width, plan.picture.height)) {
        holds_ = false;
        return false;
    }
    target_.Bind(TargetRows::AsGL);
    bool ready = false;
    if (plan.putBack == PutBack::BehindFlaps) {
        // Taken from the target: laid out as it is.
        ready = behind_.Fit(target_.InTarget(plan.allTiles), CopySamples::AsFramebuffer) &&
                behind_.PutIntoFramebuffer(target_.InTarget(plan.area), CopyRows::AsFramebuffer);
    } else {
        // The copy is drawn with GL's rows, as the window's fragment
        // positions count them.
        ready =
            ReadyBackground(background_, plan.picture, drawBackground) &&
            (plan.area.width <= 0 ||
             background_.PutIntoFramebuffer(
                 plan.area, target_.FlipsRows() ? CopyRows::Mirrored : CopyRows::AsFramebuffer));
    }
    if (!ready) {
        holds_ = false;
        target_.Unbind();
        return false;
    }
    target_.Bind(TargetRows::AsWindow);
    if (!Empty(plan.depth)) ClearDepthIn(target_.InTarget(plan.depth));
    return true;
}

void CRectangleOutput::Keep(const FramePlan& plan) {
    behindPositions_ = 0;
    if (behind_.Fit(target_.InTarget(plan.allTiles), CopySamples::AsFramebuffer) &&
        behind_.TakeFromFramebuffer(target_.InTarget(plan.keptRect))) {
        behindPicture_ = plan.kept;
        behindPositions_ = plan.keptPositions;
    }
}

void CRectangleOutput::End(const FramePlan& plan) {
    present_ = plan.present;
    target_.ResolveIntoWindow(present_);
    target_.Unbind();
    held_ = plan.picture;
    holds_ = true;
    shownLost_ = false;
}

void CRectangleOutput::Present() { PresentRectangle(window_, present_); }

void CRectangleOutput::Release() {
    background_.Release();
    behind_.Release();
    target_.Release();
    holds_ = false;
    behindPositions_ = 0;
}
