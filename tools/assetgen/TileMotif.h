// The program's emblem: flip tiles on a transparent ground, drawn for any
// square size from 16 pixels up (file icons, window icon, large picture).
#pragma once

#include "Canvas.h"
#include "FontFace.h"

enum class Motif {
    TilePair,    // two tiles showing "12": the file's icon
    SingleTile,  // one tile showing "7": the second icon group
};

Canvas DrawMotif(const FontFace& font, Motif motif, int size);
