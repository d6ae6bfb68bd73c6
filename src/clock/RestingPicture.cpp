#include "clock/RestingPicture.h"

#include "clock/FlipTiles.h"

namespace {

// The background rectangle is 2500 world units wide and the window 1000
// high: it covers the whole window, every sample of every pixel alike, up
// to an aspect ratio of 2.5.
bool BackgroundCoversWindow(std::int32_t width, std::int32_t height) {
    return 2 * static_cast<std::int64_t>(width) <= 5 * static_cast<std::int64_t>(height);
}

}  // namespace

std::uint32_t CRestingPicture::PositionsToDraw(const ClockPicture& picture) const {
    if (!HoldsPicture(picture.width, picture.height)) return kShownPositions;
    return RedrawnPositions(held_, picture);
}

PixelRect CRestingPicture::StillRegion(const ClockPicture& picture) const {
    // Only the tiles fall: the copy needs to hold no more than where they
    // can draw.
    return target_.InTarget(TilePixels(kShownPositions, picture.width, picture.height));
}

bool CRestingPicture::HoldsBehindFlaps(const ClockPicture& behind, std::uint32_t positions) const {
    return still_.Filled() && stillPositions_ != 0 && (positions & ~stillPositions_) == 0 &&
           behind == stillPicture_;
}

void CRestingPicture::KeepBehindFlaps(const ClockPicture& behind, std::uint32_t positions,
                                      const PixelRect& rect) {
    stillPositions_ = 0;
    if (still_.Fit(StillRegion(behind), false) &&
        still_.TakeFromFramebuffer(target_.InTarget(rect))) {
        stillPicture_ = behind;
        stillPositions_ = positions;
    }
}

bool CRestingPicture::BeginOffscreen(const ClockPicture& picture, const PixelRect& area,
                                     bool behindFlaps, void (*drawPass)()) {
    const PixelRect whole{0, 0, picture.width, picture.height};
    present_ = whole;
    drawing_ = picture;
    if (!target_.Fit(picture.width, picture.height)) {
        holds_ = false;
        return false;
    }
    target_.Bind(false);
    bool ready = false;
    if (behindFlaps) {
        // Taken from the target: laid out as it is.
        ready = still_.Fit(StillRegion(picture), false) &&
                still_.PutIntoFramebuffer(target_.InTarget(area), false);
    } else {
        const bool covers = BackgroundCoversWindow(picture.width, picture.height);
        ready = background_.Fit(picture.width, picture.height, covers);
        if (ready && !background_.Filled()) background_.DrawInto(drawPass);
        // The copy is drawn with GL's rows, as the window's fragment
        // positions count them.
        ready =
            ready && (area.width <= 0 || background_.PutIntoFramebuffer(area, target_.FlipsRows()));
    }
    if (!ready) {
        holds_ = false;
        target_.Unbind();
        return false;
    }
    target_.Bind(true);
    if (!shownLost_ && area.width > 0 && area.height > 0) present_ = area;
    return true;
}

void CRestingPicture::EndOffscreen() {
    target_.ResolveIntoWindow(present_);
    target_.Unbind();
    held_ = drawing_;
    holds_ = true;
    shownLost_ = false;
}

bool CRestingPicture::CopyBackground(std::int32_t width, std::int32_t height, void (*drawPass)()) {
    if (!background_.Fit(width, height, BackgroundCoversWindow(width, height))) return false;
    if (!background_.Filled()) background_.DrawInto(drawPass);
    return background_.PutIntoFramebuffer();
}

bool CRestingPicture::CopyStill(const ClockPicture& still) {
    return still_.Fit(still.width, still.height, false) && still_.Filled() &&
           still == stillPicture_ && still_.PutIntoFramebuffer();
}

void CRestingPicture::KeepStill(const ClockPicture& still) {
    if (still_.Fit(still.width, still.height, false) && still_.TakeFromFramebuffer()) {
        stillPicture_ = still;
    }
}

void CRestingPicture::Release() {
    background_.Release();
    still_.Release();
    target_.Release();
    holds_ = false;
    stillPositions_ = 0;
}
