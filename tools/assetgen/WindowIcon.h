#pragma once

#include <string>

#include "Canvas.h"

// The 64 x 64 RGBA window icon as C++ source defining kWindowIconPixels.
std::string WindowIconSource(const Canvas& icon);
