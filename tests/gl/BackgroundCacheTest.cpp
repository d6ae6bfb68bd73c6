// The copied background gives the very pixels of the pass drawn in place:
// without and with multisampling, and in a window wider than the background
// rectangle, whose antialiased edges then lie inside the frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "clock/BackgroundCache.h"
#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "gl/GLTestContext.h"
#include "platform/DisplayGlobals.h"
#include "platform/GL.h"

namespace {

struct Case {
    int samples;
    int width;
    int height;
    GLenum format;
};

// A window-like target: 8-bit colour and a depth buffer, possibly
// multisampled, and a single-sample one of the same format to resolve it
// into for reading.
struct Target {
    GLuint framebuffer = 0;
    GLuint resolved = 0;
    GLuint buffers[3] = {};

    Target(const Case& c) {
        glGenFramebuffers(1, &framebuffer);
        glGenFramebuffers(1, &resolved);
        glGenRenderbuffers(3, buffers);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, c.samples, c.format, c.width, c.height);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, c.samples, GL_DEPTH_COMPONENT24, c.width,
                                         c.height);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  buffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[2]);
        glRenderbufferStorage(GL_RENDERBUFFER, c.format, c.width, c.height);
        glBindFramebuffer(GL_FRAMEBUFFER, resolved);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  buffers[2]);
    }
};

std::vector<std::uint8_t> DrawAndRead(const Target& target, const Case& c) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    DrawClockFrame();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target.resolved);
    glBlitFramebuffer(0, 0, c.width, c.height, 0, 0, c.width, c.height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, target.resolved);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(c.width) * c.height * 4);
    glReadPixels(0, 0, c.width, c.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return pixels;
}

TEST(BackgroundCache, CopiesExactlyWhatThePassDraws) {
    EnsureClockScene();
    ASSERT_NE(g_backgroundCache, nullptr);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_MULTISAMPLE);
    UpdateClockAt(45296.2);  // 12:34:56, the seconds' flip just begun

    // Every target lives to the end, so that no framebuffer name comes back
    // with another kind behind it.
    // sRGB-capable like the windows of many drivers (Mesa's among them).
    const Case cases[] = {{0, 640, 360, GL_RGBA8},
                          {4, 640, 360, GL_RGBA8},
                          {4, 1500, 500, GL_RGBA8},
                          {4, 1280, 720, GL_SRGB8_ALPHA8}};
    std::vector<Target*> targets;
    for (const Case& c : cases) targets.push_back(new Target(c));
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Case& c = cases[i];
        g_windowWidth = c.width;
        g_windowHeight = c.height;
        g_aspectRatio = AspectRatioOf(c.width, c.height);
        CBackgroundCache* cache = g_backgroundCache;
        g_backgroundCache = nullptr;
        const std::vector<std::uint8_t> inPlace = DrawAndRead(*targets[i], c);
        g_backgroundCache = cache;
        const std::vector<std::uint8_t> first = DrawAndRead(*targets[i], c);  // draws the cache
        const std::vector<std::uint8_t> copied = DrawAndRead(*targets[i], c);
        glBindFramebuffer(GL_FRAMEBUFFER, targets[i]->framebuffer);
        EXPECT_TRUE(cache->CopyInto(c.width, c.height, [] { FAIL() << "drawn again"; }))
            << "no copy for " << c.samples << " samples";
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(first == inPlace) << c.samples << " samples " << c.width << "x" << c.height;
        EXPECT_TRUE(copied == inPlace) << c.samples << " samples " << c.width << "x" << c.height;
    }
    for (Target* t : targets) delete t;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

}  // namespace
