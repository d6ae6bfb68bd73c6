#include "clock/RestingPicture.h"

namespace {

// The background rectangle is 2500 world units wide and the window 1000
// high: it covers the whole window, every sample of every pixel alike, up
// to an aspect ratio of 2.5.
bool BackgroundCoversWindow(std::int32_t width, std::int32_t height) {
    return 2 * static_cast<std::int64_t>(width) <= 5 * static_cast<std::int64_t>(height);
}

}  // namespace

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
}
