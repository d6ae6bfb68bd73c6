// A frame drawn with the window's resting picture gives the very pixels of
// the whole scene drawn in place, both where the frame is drawn into the
// window (the background copied, the positions that do not move copied
// while a flap falls) and where it is drawn offscreen and only the changed
// rectangle reaches the window (what lies behind the flaps copied back): into
// single-sample and four-sample windows, an sRGB-capable one, and one wider
// than the background rectangle, whose antialiased edges then lie inside the
// frame. Offscreen frames show what a four-sample window drawn in place
// shows, whatever the window's own samples.
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
    bool offscreen;
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

// Three flips from the rest before each to the catch-up after it, as the
// loop would draw them: at rest, the flap at 0 and three angles of its fall,
// landed, caught up. The seconds (12:34:56 to 12:34:57), the minutes and
// seconds (12:34:59 to 12:35:00), every group (12:59:59 to 13:00:00); each
// jump between them changes some groups at once.
const double kInstants[] = {45295.8, 45296.0, 45296.06, 45296.12, 45296.2, 45296.3, 45296.6,
                            45298.8, 45299.0, 45299.06, 45299.12, 45299.2, 45299.3, 45299.6,
                            46798.8, 46799.0, 46799.06, 46799.12, 46799.2, 46799.3, 46799.6};
constexpr int kFallFramesAfterTheFirst = 9;

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
    const Case cases[] = {{0, 640, 360, GL_RGBA8, false},  {4, 640, 360, GL_RGBA8, false},
                          {4, 1501, 500, GL_RGBA8, false}, {4, 1280, 720, GL_SRGB8_ALPHA8, false},
                          {0, 640, 360, GL_RGBA8, true},   {4, 640, 360, GL_RGBA8, true},
                          {0, 1501, 500, GL_RGBA8, true},  {0, 1280, 720, GL_SRGB8_ALPHA8, true}};
    std::vector<Target*> targets;
    for (const Case& c : cases) {
        targets.push_back(new Target(c));
        Case reference = c;
        if (c.offscreen) reference.samples = 4;
        targets.push_back(new Target(reference));
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const Target& window = *targets[2 * i];
        const Target& reference = *targets[2 * i + 1];
        CRestingPicture cache(c.offscreen);
        ForgetFlips();
        std::vector<std::vector<std::uint8_t>> inPlace;
        for (double x : kInstants) {
            UpdateClockAt(x);
            inPlace.push_back(DrawAndRead(reference, c, nullptr));
        }
        ForgetFlips();
        int copied = 0;
        for (std::size_t k = 0; k < std::size(kInstants); ++k) {
            UpdateClockAt(kInstants[k]);
            // Whether this frame finds what does not move kept by an earlier
            // one.
            const ClockPicture picture = CurrentClockPicture(c.width, c.height);
            glBindFramebuffer(GL_FRAMEBUFFER, window.framebuffer);
            if (c.offscreen) {
                const std::uint32_t positions = cache.PositionsToDraw(picture);
                if (positions != 0 && cache.HoldsBehindFlaps(BehindFlaps(picture), positions)) {
                    ++copied;
                }
            } else if (FallingPositions(picture) != 0 && cache.CopyStill(StillPart(picture))) {
                ++copied;
            }
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            const std::vector<std::uint8_t> drawn = DrawAndRead(window, c, &cache);
            EXPECT_TRUE(drawn == inPlace[k])
                << c.samples << " samples " << c.width << "x" << c.height
                << (c.offscreen ? " offscreen" : "") << " at " << kInstants[k];
            // After the first, every frame changes some groups only, and
            // only their rectangle reaches the window.
            if (c.offscreen) {
                EXPECT_EQ(cache.PresentedRect() == (PixelRect{0, 0, c.width, c.height}), k == 0)
                    << c.width << "x" << c.height << " at " << kInstants[k];
            }
        }
        // The frames of each fall after its first were copies.
        EXPECT_EQ(copied, kFallFramesAfterTheFirst)
            << c.samples << " samples " << c.width << "x" << c.height
            << (c.offscreen ? " offscreen" : "");
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        cache.Release();
    }
    for (Target* t : targets) delete t;
    ForgetFlips();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

}  // namespace
