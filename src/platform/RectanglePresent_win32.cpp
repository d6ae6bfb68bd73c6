// Presenting a rectangle on Windows: never. A swap exchanges the buffers,
// so no back buffer is kept to present a part of; frames are swapped whole.
#include "platform/RectanglePresent.h"

bool CanPresentRectangles() { return false; }

void PresentRectangle(GLFWwindow* /*window*/, const PixelRect& /*rect*/) {}
