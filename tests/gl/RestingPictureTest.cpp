// A frame drawn with the window's resting picture (the background copied,
// the positions that do not move copied while a flap falls) gives the very
// pixels of the whole scene drawn in place: without and with multisampling,
// in an sRGB-capable framebuffer, and in a window wider than the background
// rectangle, whose antialiased edges then lie inside the frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "clock/ClockPicture.h"
#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "clock/RestingPicture.h"
#include "gl/GLTestContext.h"
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

std::vector<std::uint8_t> DrawAndRead(const Target& target, const Case& c, CRestingPicture* cache) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    RenderClockFrame(c.width, c.height, cache);
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

// A seconds flip from the rest before it to the catch-up after it, as the
// loop would draw it: 12:34:55 at rest, the flap at 0 and three angles of
// its fall, landed, caught up at 12:34:56.
const double kInstants[] = {45295.8, 45296.0, 45296.06, 45296.12, 45296.2, 45296.3, 45296.6};

void ForgetFlips() {
    for (int p = 0; p < 10; ++p) g_tileFlipping[p] = 0;
}

TEST(RestingPicture, FramesAreThoseOfTheSceneDrawnInPlace) {
    EnsureClockScene();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_MULTISAMPLE);

    // Every target lives to the end, so that no framebuffer name comes back
    // with another kind behind it. sRGB-capable like the windows of many
    // drivers (Mesa's among them).
    const Case cases[] = {{0, 640, 360, GL_RGBA8},
                          {4, 640, 360, GL_RGBA8},
                          {4, 1501, 500, GL_RGBA8},
                          {4, 1280, 720, GL_SRGB8_ALPHA8}};
    std::vector<Target*> targets;
    for (const Case& c : cases) targets.push_back(new Target(c));
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Case& c = cases[i];
        CRestingPicture cache(false);
        int copied = 0;
        ForgetFlips();
        std::vector<std::vector<std::uint8_t>> inPlace;
        for (double x : kInstants) {
            UpdateClockAt(x);
            inPlace.push_back(DrawAndRead(*targets[i], c, nullptr));
        }
        ForgetFlips();
        for (std::size_t k = 0; k < std::size(kInstants); ++k) {
            UpdateClockAt(kInstants[k]);
            // Whether this frame finds its still part kept by an earlier one.
            const ClockPicture picture = CurrentClockPicture(c.width, c.height);
            glBindFramebuffer(GL_FRAMEBUFFER, targets[i]->framebuffer);
            if (FallingPositions(picture) != 0 && cache.CopyStill(StillPart(picture))) ++copied;
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            const std::vector<std::uint8_t> drawn = DrawAndRead(*targets[i], c, &cache);
            EXPECT_TRUE(drawn == inPlace[k])
                << c.samples << " samples " << c.width << "x" << c.height << " at " << kInstants[k];
        }
        // The frames of the fall after its first were copies.
        EXPECT_EQ(copied, 3) << c.samples << " samples " << c.width << "x" << c.height;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        cache.Release();
    }
    for (Target* t : targets) delete t;
    ForgetFlips();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

}  // namespace
