#pragma once

#include <string>

// The 64 x 64 RGBA window icon as C++ source defining kWindowIconPixels.
std::string WindowIconSource();
