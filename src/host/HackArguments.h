// The command-line conventions of xscreensaver hacks, translated into the
// screensaver switches before the switch parse sees them.
//
// xscreensaver starts a hack with -root (its window named by the variable
// XSCREENSAVER_WINDOW) or -window-id ID, one instance per monitor at the same
// time. Both spellings, with one dash or two, are understood. These are the
// host's handover on Linux, not settings.
#pragma once

#include <cstdint>
#include <string>

struct HackLaunch {
    // The Windows-style command-line tail: the arguments joined by single
    // spaces, each hack convention replaced by "/p <decimal id>" or "/s".
    std::string commandTail;
    // True when a screensaver daemon handed over a window (or the full
    // screen): such instances run side by side and take no instance guard.
    bool hostHandover = false;
};

// arguments: argv without the program name. hostWindowVariable: the value of
// XSCREENSAVER_WINDOW, or null when it is not set.
HackLaunch TranslateHackArguments(int count, const char* const* arguments,
                                  const char* hostWindowVariable);

// A window id as hacks receive it: "0x" or "0X" and hexadecimal digits, or
// decimal digits, with nothing before or after. Anything else, and ids
// beyond a 32-bit handle, give 0 (no window).
std::int32_t ReadWindowId(const char* text);
