// The click: a complete RIFF/WAVE file, PCM 16-bit mono at 44100 Hz,
// 4392 samples, the sound of a flap landing.
#pragma once

#include "AssetWriter.h"

Bytes MakeClickSound();
