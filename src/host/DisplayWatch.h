// The loop's view of the display's power: whether the display is dark now,
// when it went dark or came back, and how long a dark loop may sleep.
//
// Portable: the platform's answer (host/DisplayPower.h) comes through the
// function it is given, and the loop feeds it timer readings. Where the
// answer is told (a message), every iteration reads it; where it must be
// asked of the server, at most once every kAskInterval seconds, so a dark
// loop wakes no more often than that.
#pragma once

#include <cstdint>

#include "host/DisplayPower.h"

enum class DisplayTurn : std::uint8_t { None, WentDark, CameBack };

class CDisplayWatch {
public:
    // news: how canBeSeen answers (WatchDisplayPower's result).
    CDisplayWatch(DisplayNews news, bool (*canBeSeen)()) : news_(news), canBeSeen_(canBeSeen) {}

    // At the iteration's timer reading now: reads or asks whether the
    // display can be seen, if it is time to, and says whether that turned.
    DisplayTurn Check(double now);

    // Whether nobody can see the display: draw nothing.
    bool Dark() const { return dark_; }

    // While dark, the timer reading to wait for events until: the next
    // question to the server, in preview no later than the host window's
    // poll; infinity where only a message can end the dark.
    double DarkWake(double now, bool preview) const;

    static constexpr double kAskInterval = 1.0;

private:
    DisplayNews news_;
    bool (*canBeSeen_)();
    bool dark_ = false;
    bool asked_ = false;
    double nextAsk_ = 0.0;
};
