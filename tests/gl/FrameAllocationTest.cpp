// The frame loop allocates nothing: once the scene is built and its caches
// are warm, drawing frames makes no C++ allocation at all. This program's
// operator new counts its calls while a test asks it to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "platform/DisplayGlobals.h"
#include "platform/GL.h"
#include "render/SceneState.h"

namespace {
bool g_countAllocations = false;
long g_allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (g_countAllocations) ++g_allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(ClockFrame, DrawsWithoutAllocating) {
    g_windowWidth = 256;
    g_windowHeight = 256;
    g_aspectRatio = 1.0f;
    SetupClockScene();
    // The first frames fill the location caches and capture the time of day.
    for (int i = 0; i < 3; ++i) RenderClockFrame();

    g_allocations = 0;
    g_countAllocations = true;
    for (int i = 0; i < 30; ++i) {
        g_sceneState->SetFrameTime(static_cast<float>(i) / 60.0f);
        RenderClockFrame();
    }
    g_countAllocations = false;
    EXPECT_EQ(g_allocations, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(g_clockFirstFrame, 0);
}

}  // namespace
