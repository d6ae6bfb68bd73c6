// What a frame does, decided without a display or GL: the plan for each
// kind of output and what it holds, from rest through a fall of the
// seconds. The pixels those plans give are the GL test's (FrameOutputsTest).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "clock/FlipTiles.h"
#include "clock/FramePlan.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr std::uint32_t kSeconds = 0x300;  // positions 8 and 9

// 12:34:56 at rest, or with the seconds' flap falling at angle.
ClockPicture Picture(float angle = -1.0f) {
    ClockPicture picture;
    picture.width = kWidth;
    picture.height = kHeight;
    const GlyphCode shown[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; ++i) picture.shown[i] = picture.coming[i] = shown[i];
    if (angle >= 0.0f) {
        picture.coming[5] = 7;
        for (int i = 4; i < 6; ++i) {
            picture.flipping[i] = 1;
            picture.angle[i] = angle;
        }
    }
    return picture;
}

struct Expected {
    PutBack putBack;
    std::uint32_t tiles, backs, flaps, falling;
    Keep keep;
    bool wholeArea, wholePresent;
};

struct Case {
    const char* name;
    FrameOutputState state;
    ClockPicture picture;
    Expected expected;
};

FrameOutputState WithCopies(bool holdsStill, const ClockPicture& still = ClockPicture{}) {
    FrameOutputState state;
    state.keepsCopies = true;
    state.holdsStill = holdsStill;
    state.still = still;
    return state;
}

FrameOutputState Holding(const ClockPicture& picture, std::uint32_t behindPositions = 0,
                         const ClockPicture& behind = ClockPicture{}) {
    FrameOutputState state;
    state.keepsPicture = true;
    state.holdsPicture = picture.width != 0;
    state.picture = picture;
    state.behindPositions = behindPositions;
    state.behind = behind;
    return state;
}

TEST(FramePlan, StepsFollowWhatTheOutputHolds) {
    const ClockPicture rest = Picture();
    const ClockPicture fall = Picture(40.0f);
    const ClockPicture further = Picture(90.0f);
    ClockPicture otherMinute = fall;
    otherMinute.shown[3] = otherMinute.coming[3] = 9;
    FrameOutputState lost = Holding(fall, kSeconds, BehindFlaps(fall));
    lost.shownLost = true;
    FrameOutputState otherSize = Holding(rest);
    otherSize.picture.width = 640;
    const std::uint32_t rests = kShownPositions & ~kSeconds;
    // clang-format off
    const Case cases[] = {
        // put back, tiles, backs, flaps, falling, keep, whole area, whole present
        {"null at rest", {}, rest,
         {PutBack::Drawn, kShownPositions, 0, 0, 0, Keep::Nothing, true, true}},
        {"null in a fall", {}, fall,
         {PutBack::Drawn, rests, 0, 0, kSeconds, Keep::Nothing, true, true}},
        {"copies at rest", WithCopies(false), rest,
         {PutBack::Background, kShownPositions, 0, 0, 0, Keep::Nothing, true, true}},
        {"copies, a fall's first frame", WithCopies(false), fall,
         {PutBack::Background, rests, 0, 0, kSeconds, Keep::Still, true, true}},
        {"copies, the fall's next frame", WithCopies(true, StillPart(fall)), further,
         {PutBack::Still, 0, 0, 0, kSeconds, Keep::Nothing, true, true}},
        {"copies, the still of another minute", WithCopies(true, StillPart(otherMinute)), fall,
         {PutBack::Background, rests, 0, 0, kSeconds, Keep::Still, true, true}},
        {"copies, a still of another size", WithCopies(true, StillPart(otherSize.picture)), fall,
         {PutBack::Background, rests, 0, 0, kSeconds, Keep::Still, true, true}},
        {"target holding nothing", Holding(ClockPicture{}), fall,
         {PutBack::Background, rests, kSeconds, kSeconds, 0, Keep::BehindFlaps, true, true}},
        {"target holding another size", otherSize, rest,
         {PutBack::Background, kShownPositions, 0, 0, 0, Keep::Nothing, true, true}},
        {"target holding this picture", Holding(rest), rest,
         {PutBack::Background, 0, 0, 0, 0, Keep::Nothing, false, true}},
        {"target, a fall's first frame", Holding(rest), fall,
         {PutBack::Background, 0, kSeconds, kSeconds, 0, Keep::BehindFlaps, false, false}},
        {"target, the fall's next frame", Holding(fall, kSeconds, BehindFlaps(fall)), further,
         {PutBack::BehindFlaps, 0, 0, kSeconds, 0, Keep::Nothing, false, false}},
        {"target, the landing", Holding(further, kSeconds, BehindFlaps(further)), Picture(180.0f),
         {PutBack::Background, kSeconds, 0, 0, 0, Keep::Nothing, false, false}},
        {"target, shown lost", lost, further,
         {PutBack::BehindFlaps, 0, 0, kSeconds, 0, Keep::Nothing, false, true}},
    };
    // clang-format on
    const ClockView view = ClockViewOf(kWidth, kHeight);
    const PixelRect whole{0, 0, kWidth, kHeight};
    for (const Case& c : cases) {
        const FramePlan plan = PlanClockFrame(c.picture, view, c.state);
        const Expected& e = c.expected;
        EXPECT_EQ(plan.putBack, e.putBack) << c.name;
        EXPECT_EQ(plan.tiles, e.tiles) << c.name;
        EXPECT_EQ(plan.backs, e.backs) << c.name;
        EXPECT_EQ(plan.flaps, e.flaps) << c.name;
        EXPECT_EQ(plan.falling, e.falling) << c.name;
        EXPECT_EQ(plan.keep, e.keep) << c.name;
        EXPECT_EQ(plan.area == whole, e.wholeArea) << c.name;
        EXPECT_EQ(plan.present == whole, e.wholePresent) << c.name;
        EXPECT_TRUE(plan.picture == c.picture) << c.name;
    }
}

// The rectangles a plan names lie where its tiles can draw, in the window.
TEST(FramePlan, RectanglesAreThoseOfTheTilesDrawn) {
    const ClockView view = ClockViewOf(kWidth, kHeight);
    const ClockPicture fall = Picture(40.0f);
    const FramePlan first = PlanClockFrame(fall, view, Holding(Picture()));
    EXPECT_EQ(first.area, TilePixels(kSeconds, view));
    EXPECT_EQ(first.present, first.area);
    EXPECT_EQ(first.depth, first.area);
    EXPECT_EQ(first.keptRect, TilePixels(kSeconds, view));
    EXPECT_EQ(first.keptPositions, kSeconds);
    EXPECT_TRUE(first.kept == BehindFlaps(fall));
    EXPECT_EQ(first.allTiles, TilePixels(kShownPositions, view));
    const FramePlan next = PlanClockFrame(fall, view, WithCopies(true, StillPart(fall)));
    EXPECT_EQ(next.depth, TilePixels(kSeconds, view));
    const FramePlan copies = PlanClockFrame(fall, view, WithCopies(false));
    EXPECT_EQ(copies.depth, TilePixels(kShownPositions, view));
    EXPECT_TRUE(copies.kept == StillPart(fall));
    // The seconds' tiles lie right of the centre, inside the window.
    const PixelRect seconds = TilePixels(kSeconds, view);
    EXPECT_GT(seconds.x, kWidth / 2);
    EXPECT_LE(seconds.x + seconds.width, kWidth);
    EXPECT_EQ(TilePixels(0, view), PixelRect{});
}

// The projection maps the view's half width and half height to the
// window's edges: the tiles' pixels and the drawing share one view.
TEST(FramePlan, ViewSpansTheWindow) {
    const ClockView view = ClockViewOf(1601, 901);
    EXPECT_FLOAT_EQ(view.halfWidth, kWorldHalfHeight * 1601.0f / 901.0f);
    EXPECT_FLOAT_EQ(view.projection[0].x * view.halfWidth, 1.0f);
    EXPECT_FLOAT_EQ(view.projection[1].y * kWorldHalfHeight, 1.0f);
    EXPECT_EQ(ClockViewOf(152, 0).halfWidth, kWorldHalfHeight * 152.0f);
}

// From 5:4 up, the window is 1000 world units high and the aspect ratio
// times as many across: the projection and every tile's pixels exactly so.
TEST(FramePlan, WideWindowsAreAThousandUnitsHigh) {
    const int sizes[][2] = {{1280, 1024}, {1920, 1080}, {1366, 768},  {1501, 500},
                            {3840, 1080}, {304, 224},   {1250, 1000}, {5, 4}};
    for (const auto& size : sizes) {
        const int w = size[0];
        const int h = size[1];
        const float ratio = static_cast<float>(w) / static_cast<float>(h);
        const ClockView view = ClockViewOf(w, h);
        const Mat4 expected =
            Ortho(-500.0f * ratio, 500.0f * ratio, -500.0f, 500.0f, -1000.0f, 1000.0f);
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) {
                EXPECT_EQ(view.projection[c][r], expected[c][r]) << w << "x" << h;
            }
        }
        EXPECT_EQ(view.halfHeight, 500.0f);
        for (int p = 4; p <= 9; ++p) {
            const WorldRect world = TileBounds(1u << p);
            const auto x = [&](float units) {
                return (units / (500.0f * ratio) + 1.0f) * 0.5f * w;
            };
            const auto y = [&](float units) { return (units / 500.0f + 1.0f) * 0.5f * h; };
            const int left = std::max(0, static_cast<int>(std::floor(x(world.left)) - 1.0f));
            const int right = std::min(w, static_cast<int>(std::ceil(x(world.right)) + 1.0f));
            const int bottom = std::max(0, static_cast<int>(std::floor(y(world.bottom)) - 1.0f));
            const int top = std::min(h, static_cast<int>(std::ceil(y(world.top)) + 1.0f));
            EXPECT_EQ(TilePixels(1u << p, view),
                      (PixelRect{left, bottom, right - left, top - bottom}))
                << w << "x" << h << " position " << p;
        }
    }
}

// Narrower than 5:4 the framing of 5:4 stays, 1250 units across, and the
// height grows: every tile lies whole between the top and bottom, only the
// outermost two reach past the sides (their faces' edges, as at 5:4), and
// the view does not jump from 5:4 to the next narrower window.
TEST(FramePlan, NarrowWindowsKeepTheFramingOfFiveToFour) {
    const int sizes[][2] = {{1080, 1920}, {768, 1024}, {1249, 1000}, {400, 1000}};
    for (const auto& size : sizes) {
        const ClockView view = ClockViewOf(size[0], size[1]);
        EXPECT_EQ(view.halfWidth, 625.0f);
        EXPECT_FLOAT_EQ(view.halfHeight, 625.0f * size[1] / size[0]);
        EXPECT_FLOAT_EQ(view.projection[0].x * 625.0f, 1.0f);
        EXPECT_FLOAT_EQ(view.projection[1].y * view.halfHeight, 1.0f);
        // The middle four tiles lie inside, the outer two reach the sides.
        const PixelRect middle = TilePixels(0x1E0, view);
        EXPECT_GT(middle.x, 0) << size[0] << "x" << size[1];
        EXPECT_LT(middle.x + middle.width, size[0]);
        const PixelRect all = TilePixels(kShownPositions, view);
        EXPECT_EQ(all.x, 0);
        EXPECT_EQ(all.width, size[0]);
        EXPECT_GT(all.y, 0);
        EXPECT_LT(all.y + all.height, size[1]);
    }
    const ClockView wide = ClockViewOf(1250, 1000);
    const ClockView narrow = ClockViewOf(1249, 1000);
    EXPECT_NEAR(narrow.halfWidth, wide.halfWidth, 0.01f);
    EXPECT_NEAR(narrow.halfHeight, wide.halfHeight, 0.5f);
    EXPECT_EQ(TilePixels(kShownPositions, narrow).y, TilePixels(kShownPositions, wide).y);
}

}  // namespace
