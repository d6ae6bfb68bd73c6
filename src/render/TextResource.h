// Shader text from a "TEXTFILE" resource.
#pragma once

#include <cstddef>

#include "render/ShaderText.h"

// Copies the text of "TEXTFILE" resource id into destination up to, not
// including, its first '~', then writes four zero bytes after it. The
// destination holds capacity + 4 bytes. The copy never reads past the
// resource nor writes past the buffer: a missing resource gives an empty
// text, a text without '~' ends with the resource, and a longer text is cut
// at capacity. Returns the length of the text.
std::size_t LoadTextResource(int id, char* destination, std::size_t capacity);
