// A frame drawn through a window's frame output gives the very pixels of
// the whole scene drawn in place, both where the frame is drawn into the
// window (the background copied, the positions that do not move copied
// while a flap falls) and where it is drawn offscreen and only the changed
// rectangle reaches the window (what lies behind the flaps copied back): into
// single-sample and four-sample windows, an sRGB-capable one, one wider
// than the background rectangle and one so narrow that its top edge shows
// (the antialiased edges then lie inside the frame), and a portrait one it
// still covers. Offscreen frames show what a four-sample window drawn in
// place shows, whatever the window's own samples.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "clock/ClockPicture.h"
#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "gl/GLTestContext.h"
#include "host/FrameOutputs.h"
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

// An output that counts the frames it began from a copy of what does not
// move, kept by an earlier frame.
class CCountingOutput final : public CFrameOutput {
public:
    explicit CCountingOutput(CFrameOutput& output) : output_(output) {}
    FrameOutputState State() const override { return output_.State(); }
    bool Begin(const FramePlan& plan, void (*drawBackground)()) override {
        const bool begun = output_.Begin(plan, drawBackground);
        if (begun && (plan.putBack == PutBack::Still || plan.putBack == PutBack::BehindFlaps)) {
            ++copied;
        }
        return begun;
    }
    void Keep(const FramePlan& plan) override { output_.Keep(plan); }
    void End(const FramePlan& plan) override { output_.End(plan); }
    void Present() override {}
    void ShownLost() override {}
    void Release() override { output_.Release(); }

    int copied = 0;

private:
    CFrameOutput& output_;
};

std::vector<std::uint8_t> DrawAndRead(const Target& target, const Case& c, CFrameOutput& output) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    RenderClockFrame(ClockViewOf(c.width, c.height), output);
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

TEST(FrameOutputs, FramesAreThoseOfTheSceneDrawnInPlace) {
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
                          {0, 1501, 500, GL_RGBA8, true},  {0, 1280, 720, GL_SRGB8_ALPHA8, true},
                          {4, 200, 500, GL_RGBA8, false},  {0, 200, 500, GL_RGBA8, true},
                          {4, 270, 480, GL_RGBA8, false}};
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
        CRectangleOutput rectangles(nullptr);
        CWindowOutput inWindow(nullptr, FrameOutputKind::KeptCopies);
        CFrameOutput& output = c.offscreen ? static_cast<CFrameOutput&>(rectangles) : inWindow;
        CCountingOutput counting(output);
        CWindowOutput inPlace(nullptr, FrameOutputKind::Whole);
        ResetFlipState();
        std::vector<std::vector<std::uint8_t>> inPlaceFrames;
        for (double x : kInstants) {
            UpdateClockAt(x);
            inPlaceFrames.push_back(DrawAndRead(reference, c, inPlace));
        }
        ResetFlipState();
        for (std::size_t k = 0; k < std::size(kInstants); ++k) {
            UpdateClockAt(kInstants[k]);
            const std::vector<std::uint8_t> drawn = DrawAndRead(window, c, counting);
            EXPECT_TRUE(drawn == inPlaceFrames[k])
                << c.samples << " samples " << c.width << "x" << c.height
                << (c.offscreen ? " offscreen" : "") << " at " << kInstants[k];
            // After the first, every frame changes some groups only, and
            // only their rectangle reaches the window.
            if (c.offscreen) {
                EXPECT_EQ(rectangles.PresentedRect() == (PixelRect{0, 0, c.width, c.height}),
                          k == 0)
                    << c.width << "x" << c.height << " at " << kInstants[k];
            }
        }
        // The frames of each fall after its first were copies.
        EXPECT_EQ(counting.copied, kFallFramesAfterTheFirst)
            << c.samples << " samples " << c.width << "x" << c.height
            << (c.offscreen ? " offscreen" : "");
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        output.Release();
    }
    for (Target* t : targets) delete t;
    ResetFlipState();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

}  // namespace
