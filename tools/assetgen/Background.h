// The background picture: 2048 x 2048, a dark woven band across the middle
// rows, flat dark grey above and below it.
#pragma once

#include "Canvas.h"

Canvas MakeBackground();
