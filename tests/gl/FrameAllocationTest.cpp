// The frame loop allocates nothing: once the scene is built and its caches
// are warm, drawing frames makes no C++ allocation at all. This program's
// operator new counts its calls while a test asks it to.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdlib>
#include <new>

#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "gl/GLTestContext.h"
#include "host/FrameOutputs.h"
#include "platform/GL.h"
#include "render/SceneState.h"

namespace {
bool g_countAllocations = false;
long g_allocations = 0;
}  // namespace

// Every form of operator new and delete is replaced, so that memory from
// any of them (the GL driver's own C++ code uses several) is released by
// its matching partner.
void* operator new(std::size_t size) {
    if (g_countAllocations) ++g_allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_countAllocations) ++g_allocations;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t align) {
    if (g_countAllocations) ++g_allocations;
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a + (size == 0 ? a : 0))) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

// A frame as the main loop draws it into a window, through the window's
// frame output.
void DrawWindowFrame(CFrameOutput& output) {
    UpdateClockFrame(glfwGetTime());
    RenderClockFrame(ClockViewOf(256, 256), output);
}

// The clock an hour off the local time, to be compared with it on the next
// frame.
void SetClockAnHourOff() {
    g_secondsOfDay = std::fmod(g_secondsOfDay + 3600.0, 86400.0);
    g_nextTimeOfDayCheck = 0.0;
}

void CheckFramesAllocateNothing(FrameOutputKind kind) {
    EnsureClockScene();
    const std::unique_ptr<CFrameOutput> output = MakeFrameOutput(kind, nullptr);
    CFrameOutput& window = *output;
    // The first frames fill the location caches and the output's copies and
    // capture the time of day. Then the clock is put an hour off the local
    // time: the next frame takes the time of day again, and its flip begins
    // from the start, so the driver has made whatever a fall needs.
    for (int i = 0; i < 3; ++i) DrawWindowFrame(window);
    SetClockAnHourOff();
    for (int i = 0; i < 3; ++i) DrawWindowFrame(window);
    // So too the first counted frame.
    SetClockAnHourOff();

    g_allocations = 0;
    g_countAllocations = true;
    for (int i = 0; i < 30; ++i) {
        g_sceneState->SetFrameTime(static_cast<float>(i) / 60.0f);
        DrawWindowFrame(window);
    }
    g_countAllocations = false;
    EXPECT_EQ(g_allocations, 0) << static_cast<int>(kind);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(g_clockFirstFrame, 0);
    EXPECT_FALSE(ClockHasParted(ClockTimeAt(glfwGetTime()), LocalSecondsOfDay()));
    window.Release();
}

// Frames drawn into the window, and offscreen for a window that presents
// rectangles.
TEST(ClockFrame, DrawsWithoutAllocating) {
    CheckFramesAllocateNothing(FrameOutputKind::KeptCopies);
    CheckFramesAllocateNothing(FrameOutputKind::Rectangles);
}

}  // namespace
