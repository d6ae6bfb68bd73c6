// The About window's 110 x 83 picture: the clock at "23 30 09" in miniature.
#pragma once

#include "Canvas.h"
#include "FontFace.h"

Canvas MakePreviewPicture(const FontFace& font);
