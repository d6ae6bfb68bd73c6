// Whether anyone can see the display: what the platform knows of the
// display's power, for the loop to stop drawing while it is off.
//
// Implemented by DisplayPower_win32.cpp (the console display state the
// system sends to a window that registers for it) and DisplayPower_x11.cpp
// (the server's DPMS level, asked). Where the system says nothing, the
// display counts as seen, and the clock draws as it always has.
#pragma once

#include <cstdint>

struct GLFWwindow;

// How the answer to DisplayCanBeSeen comes.
enum class DisplayNews : std::uint8_t {
    Silent,  // the system says nothing: always seen
    Told,    // the system tells (a message, inside the event wait); asking costs nothing
    Asked,   // each question is a round trip to the server: ask seldom
};

// Starts following the display's power for the clock whose display window
// is window, once, with the windowing library initialised. What it
// registers is given back at exit.
DisplayNews WatchDisplayPower(GLFWwindow* window);

// Whether anyone can see the display: false only while the system says it
// is off (dimmed counts as seen).
bool DisplayCanBeSeen();
