#include "host/DisplayWatch.h"

#include <algorithm>
#include <limits>

#include "host/FramePacer.h"

DisplayTurn CDisplayWatch::Check(double now) {
    if (news_ == DisplayNews::Silent) return DisplayTurn::None;
    if (news_ == DisplayNews::Asked) {
        if (asked_ && now < nextAsk_) return DisplayTurn::None;
        asked_ = true;
        nextAsk_ = now + kAskInterval;
    }
    const bool seen = canBeSeen_();
    if (seen == !dark_) return DisplayTurn::None;
    dark_ = !seen;
    return dark_ ? DisplayTurn::WentDark : DisplayTurn::CameBack;
}

double CDisplayWatch::DarkWake(double now, bool preview) const {
    double wake = news_ == DisplayNews::Asked ? nextAsk_ : std::numeric_limits<double>::infinity();
    if (preview) wake = std::min(wake, now + CFramePacer::kPreviewPoll);
    return wake;
}
