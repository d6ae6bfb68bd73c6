// The whole math kit: vectors, matrices and their builders.
#pragma once

#include "render/Matrix.h"
#include "render/Vector.h"
