// What the clock scene puts on a 1920 x 1080 screen, pixel by pixel.
//
// The real scene draws into a float framebuffer at chosen clock states; the
// picture is compared with one worked out here from the scene's geometry
// (tile centres, sizes, hinge, the rectangle mesh, the layers' depths), the
// shader rules (halves, brightness, corners, divider, vignette) and the
// texels of the two generated pictures. Pixels within one pixel of an edge
// of what the geometry puts there are not compared, so every edge, hinge
// row, divider row and corner must sit within a pixel of its place.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "gl/GLTestContext.h"
#include "host/FrameOutputs.h"
#include "platform/GL.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kPixelsPerUnit = kHeight / 1000.0;  // the window is 1000 units high
constexpr double kPi = 3.14159265358979;

// ---- the geometry ------------------------------------------------------------

// Tile centres by position (hours tens at 4), and the atlas's glyph cells
// below, from tests/support/clock_tiles.json (tests/CMakeLists.txt).
constexpr double kCentreX[10] = {0, 0, 0, 0, TOLVANE_TILE_CENTRE_X};
constexpr double kHinge = 7.2;
constexpr double kScaleX = 7.0 * 20.0 / 3.6;
constexpr double kScaleY = 7.0 * 16.0 / 3.6;
// The rectangle mesh: x from -2.5 to 2.5, y from -2.6302 to 2.3698, lifted
// by 2.66 above the hinge before it turns; texture (0, 0) at its lower left.
constexpr double kMeshLeft = -2.5;
constexpr double kMeshWidth = 5.0;
constexpr double kMeshBottomAboveHinge = -2.6302 + 2.66;
constexpr double kMeshHeight = 5.0;

// Glyph cells of the atlas, pixels from its left and top, by digit.
constexpr double kCellLeft[10] = {TOLVANE_GLYPH_CELL_LEFT};
constexpr double kCellTop[10] = {TOLVANE_GLYPH_CELL_TOP};

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb operator*(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }

// ---- the two pictures ---------------------------------------------------------

// A 24-bit bottom-up BMP file as the texture holds it: row 0 at t = 0.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;

    bool Load(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), {});
        auto u32 = [&](std::size_t at) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
        };
        if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
        const std::uint32_t offset = u32(10);
        width = static_cast<int>(u32(18));
        height = static_cast<int>(u32(22));
        const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
        if (bytes[28] != 24 || offset + stride * height > bytes.size()) return false;
        rgb.resize(static_cast<std::size_t>(width) * height * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::size_t in = offset + y * stride + x * 3;
                float* out = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                for (int k = 0; k < 3; ++k) {
                    out[k] = static_cast<unsigned char>(bytes[in + 2 - k]) / 255.0f;
                }
            }
        }
        return true;
    }

    Rgb Texel(int x, int y) const {
        x = ((x % width) + width) % width;  // the textures repeat
        y = ((y % height) + height) % height;
        const float* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }

    // Linear filtering at texture coordinates (s, t).
    Rgb Sample(double s, double t) const {
        const double u = s * width - 0.5;
        const double v = t * height - 0.5;
        const int x = static_cast<int>(std::floor(u));
        const int y = static_cast<int>(std::floor(v));
        const double a = u - x;
        const double b = v - y;
        const Rgb p00 = Texel(x, y), p10 = Texel(x + 1, y), p01 = Texel(x, y + 1),
                  p11 = Texel(x + 1, y + 1);
        auto mix = [&](double c00, double c10, double c01, double c11) {
            return (c00 * (1 - a) + c10 * a) * (1 - b) + (c01 * (1 - a) + c11 * a) * b;
        };
        return {mix(p00.r, p10.r, p01.r, p11.r), mix(p00.g, p10.g, p01.g, p11.g),
                mix(p00.b, p10.b, p01.b, p11.b)};
    }
};

const Picture& Atlas() {
    static Picture picture;
    if (picture.width == 0) picture.Load(std::string(TOLVANE_ASSET_DIR) + "/glyph_atlas.bmp");
    return picture;
}

const Picture& Background() {
    static Picture picture;
    if (picture.width == 0) picture.Load(std::string(TOLVANE_ASSET_DIR) + "/background.bmp");
    return picture;
}

// ---- what the scene should show -------------------------------------------------

// One half-tile as the tile pass draws it.
struct Layer {
    int position;
    bool upperHalf;  // the glyph cell's upper half (else its lower half)
    int digit;
    double angle;  // degrees
    double depth;
    const char* what;
};

// The layers of a clock state: every tile's two resting halves, and for a
// flipping tile the coming upper half and the flap, whose front (the shown
// upper half) shows up to 90 degrees and its back (the coming lower half)
// beyond.
std::vector<Layer> LayersOf(const int shown[10], const int coming[10], const bool flipping[10],
                            double flapAngle) {
    std::vector<Layer> layers;
    for (int p = 4; p <= 9; ++p) {
        layers.push_back({p, true, shown[p], 0.0, -100.0, "shown upper half"});
        layers.push_back({p, false, shown[p], 180.0, -100.0, "shown lower half"});
        if (!flipping[p]) continue;
        layers.push_back({p, true, coming[p], 0.0, -80.0, "coming upper half"});
        if (flapAngle <= 90.0) {
            layers.push_back({p, true, shown[p], flapAngle, -40.0, "flap front"});
        } else {
            layers.push_back({p, false, coming[p], flapAngle, -40.0, "flap back"});
        }
    }
    return layers;
}

// Where a window position falls: the nearest layer that is opaque there
// (-1: the background) and, on it, the position (f, g) on the rectangle.
struct Hit {
    int layer = -1;
    bool divider = false;
    double f = 0, g = 0;
    bool operator==(const Hit& o) const { return layer == o.layer && divider == o.divider; }
};

Hit HitAt(const std::vector<Layer>& layers, double worldX, double worldY) {
    Hit best;
    for (int i = 0; i < static_cast<int>(layers.size()); ++i) {
        const Layer& l = layers[i];
        const double f = ((worldX - kCentreX[l.position]) / kScaleX - kMeshLeft) / kMeshWidth;
        const double cosine = std::cos(l.angle * kPi / 180.0);
        if (std::fabs(cosine) < 1e-6) continue;
        const double g =
            ((worldY - kHinge) / (kScaleY * cosine) - kMeshBottomAboveHinge) / kMeshHeight;
        if (f < 0 || f >= 1 || g < 0 || g >= 1) continue;
        const bool divider = g < 0.008;
        // Rounded outer corners: top left of the tens, top right of the units.
        const bool tens = l.position % 2 == 0;
        const double cornerF = tens ? 0.18 : 0.82;
        const bool inCornerBox = (tens ? f <= 0.18 : f >= 0.82) && g >= 0.82;
        if (!divider && inCornerBox && std::hypot(f - cornerF, g - 0.82) >= 0.18) continue;
        // The nearer layer covers; of two at one depth, the first drawn.
        if (best.layer < 0 || l.depth > layers[best.layer].depth) best = {i, divider, f, g};
    }
    return best;
}

double WorldX(double windowX) { return (windowX - kWidth / 2.0) / kPixelsPerUnit; }
double WorldY(double windowY) { return (windowY - kHeight / 2.0) / kPixelsPerUnit; }

// The background's brightness factor at a window position.
double Vignette(double x, double y) {
    const double ratio = static_cast<double>(kWidth) / kHeight;
    const double u = x / kWidth - 0.5;
    const double v = (y / kHeight - 0.5) / ratio;
    return 1.0 - std::hypot(u * ratio, v);
}

Rgb BackgroundTexelAt(double x, double y) {
    const double ratio = static_cast<double>(kWidth) / kHeight;
    return Background().Sample(x / kWidth, (y / kHeight - 0.5) / ratio + 0.5);
}

// The colour at a pixel centre: the background texel darkened by the
// vignette, or the layer's glyph texel darkened as the flap turns edge-on.
Rgb ExpectedColour(const std::vector<Layer>& layers, const Hit& hit, double x, double y) {
    if (hit.layer < 0) return BackgroundTexelAt(x, y) * Vignette(x, y);
    if (hit.divider) return {0.8, 0.8, 0.8};
    const Layer& l = layers[hit.layer];
    const double cosine = std::cos(l.angle * kPi / 180.0);
    const double s = (kCellLeft[l.digit] + 200.0 * hit.f) / 2048.0;
    auto rowOf = [&](double g) {
        return l.upperHalf ? kCellTop[l.digit] + 144.0 * (1.0 - g)
                           : kCellTop[l.digit] + 144.0 + 144.0 * g;
    };
    // A flap seen at a slant squeezes several atlas rows into one pixel:
    // the mean over the pixel's height stands for the filtered value.
    const double rowsPerPixel =
        144.0 / (kScaleY * kMeshHeight * kPixelsPerUnit * std::fabs(cosine));
    const int samples = rowsPerPixel > 1.0 ? static_cast<int>(std::ceil(rowsPerPixel * 2)) : 1;
    Rgb sum;
    for (int k = 0; k < samples; ++k) {
        const double dg = samples == 1 ? 0.0 : ((k + 0.5) / samples - 0.5) * rowsPerPixel / 144.0;
        const Rgb c = Atlas().Sample(s, 1.0 - rowOf(hit.g + dg) / 2048.0);
        sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
    }
    return sum * ((0.2 + 0.8 * std::fabs(cosine)) / samples);
}

// Beyond what the texels within half a pixel allow (a level of 76 is 0.298).
constexpr double kTolerance = 0.01;

// ---- the scene, drawn off screen ------------------------------------------------

class ClockScenePicture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(Atlas().width, 0) << "no atlas bitmap in " << TOLVANE_ASSET_DIR;
        ASSERT_GT(Background().width, 0) << "no background bitmap in " << TOLVANE_ASSET_DIR;
        EnsureClockScene();
        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glGenRenderbuffers(2, renderbuffers_);
        // Float colour: the picture is read back without rounding to bytes.
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA32F, kWidth, kHeight);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffers_[0]);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kWidth, kHeight);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  renderbuffers_[1]);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
                  static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        // The program's fixed state that the picture depends on.
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        // The clock time is the GLFW timer alone from here on, never
        // compared with the local time.
        g_clockFirstFrame = 0;
        g_secondsOfDay = 0.0;
        g_clockTimerBase = 0.0;
        g_nextTimeOfDayCheck = std::numeric_limits<double>::infinity();
        pixels_.resize(static_cast<std::size_t>(kWidth) * kHeight * 4);
    }

    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(2, renderbuffers_);
        glDeleteFramebuffers(1, &framebuffer_);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
    }

    // Draws the frame of clock time x and reads it back.
    void DrawAt(double x) {
        glfwSetTime(x);
        UpdateClockFrame(glfwGetTime());
        RenderClockFrame(ClockViewOf(kWidth, kHeight), inPlace_);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_FLOAT, pixels_.data());
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Starts the seconds' flip from 12:34:56 to 12:34:57 and poses its flap
    // at about the angle asked for; returns the angle it was drawn at.
    double DrawFlipAt(double angle) {
        const double sinceStart = std::sqrt(angle / 3000.0);  // the flap turns 3000 t^2 degrees
        double drawn = 0;
        // A stall between setting the timer and the frame's reading of it
        // moves the flap; such a try is made again.
        for (int attempt = 0; attempt < 5; ++attempt) {
            DrawAt(45295.8);  // resting: the flip has ended
            DrawAt(45296.0);  // the upcoming second differs: the flip starts
            DrawAt(g_flipStartTime[9] + sinceStart);
            drawn = g_tileAngle[9];
            if (std::fabs(drawn - angle) < 2.0) break;
        }
        return drawn;
    }

    Rgb Pixel(int x, int y) const {
        const float* p = &pixels_[(static_cast<std::size_t>(y) * kWidth + x) * 4];
        return {p[0], p[1], p[2]};
    }

    // Compares every pixel of the tile band, and a grid of the rest, with
    // the picture the layers make; failures name what was expected where.
    void ExpectPicture(const std::vector<Layer>& layers, double tolerance, const char* state) {
        // The band holding every tile: y from -149.28 to 163.68, x from
        // -643.2 to 649.2, with a margin.
        const int x0 = 250, x1 = 1680, y0 = 365, y1 = 725;
        std::vector<Hit> hits(static_cast<std::size_t>(x1 - x0) * (y1 - y0));
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                hits[(y - y0) * (x1 - x0) + (x - x0)] =
                    HitAt(layers, WorldX(x + 0.5), WorldY(y + 0.5));
            }
        }
        std::map<std::string, int> wrong;
        std::map<std::string, std::string> example;
        int compared = 0;
        // The GL's texture filter is not exactly the linear filter of
        // Picture::Sample, so a pixel may take any value that the texels
        // give within half a pixel of its centre.
        auto compare = [&](int x, int y, const Hit& hit) {
            const Rgb got = Pixel(x, y);
            const Rgb want = ExpectedColour(layers, hit, x + 0.5, y + 0.5);
            ++compared;
            if (std::fabs(got.r - want.r) <= tolerance && std::fabs(got.g - want.g) <= tolerance &&
                std::fabs(got.b - want.b) <= tolerance) {
                return;
            }
            Rgb low{1e9, 1e9, 1e9}, high{-1e9, -1e9, -1e9};
            for (double dy : {-0.5, 0.0, 0.5}) {
                for (double dx : {-0.5, 0.0, 0.5}) {
                    const double px = x + 0.5 + dx, py = y + 0.5 + dy;
                    Hit near = HitAt(layers, WorldX(px), WorldY(py));
                    if (!(near == hit)) continue;
                    const Rgb c = ExpectedColour(layers, near, px, py);
                    low = {std::min(low.r, c.r), std::min(low.g, c.g), std::min(low.b, c.b)};
                    high = {std::max(high.r, c.r), std::max(high.g, c.g), std::max(high.b, c.b)};
                }
            }
            auto within = [&](double v, double lo, double hi) {
                return v >= lo - tolerance && v <= hi + tolerance;
            };
            if (within(got.r, low.r, high.r) && within(got.g, low.g, high.g) &&
                within(got.b, low.b, high.b)) {
                return;
            }
            std::string what = "background";
            if (hit.layer >= 0) {
                const Layer& l = layers[hit.layer];
                what = "tile " + std::to_string(l.position) + " " + l.what +
                       (hit.divider ? " divider" : " face");
            }
            if (wrong[what]++ == 0) {
                std::ostringstream text;
                text << "first at (" << x << ", " << y << "): got " << got.r << " " << got.g << " "
                     << got.b << ", want " << want.r << " " << want.g << " " << want.b;
                example[what] = text.str();
            }
        };
        for (int y = y0 + 1; y < y1 - 1; ++y) {
            for (int x = x0 + 1; x < x1 - 1; ++x) {
                const Hit& centre = hits[(y - y0) * (x1 - x0) + (x - x0)];
                bool nearEdge = false;
                for (int dy = -1; dy <= 1 && !nearEdge; ++dy) {
                    for (int dx = -1; dx <= 1 && !nearEdge; ++dx) {
                        nearEdge = !(hits[(y + dy - y0) * (x1 - x0) + (x + dx - x0)] == centre);
                    }
                }
                if (!nearEdge) compare(x, y, centre);
            }
        }
        for (int y = 0; y < kHeight; y += 7) {
            for (int x = 0; x < kWidth; x += 7) {
                if (x < x0 || x >= x1 || y < y0 || y >= y1) compare(x, y, Hit());
            }
        }
        std::ostringstream report;
        for (const auto& entry : wrong) {
            report << "\n  " << entry.first << ": " << entry.second << " pixels, "
                   << example[entry.first];
        }
        EXPECT_TRUE(wrong.empty())
            << state << ": of " << compared << " pixels compared" << report.str();
    }

    // The light line along each resting half-tile's hinge edge, the rows
    // with g below 0.008: thinner than the pixel left out around every
    // edge above, so looked for on its own, column by column.
    void ExpectDividersLit() {
        const double kDivider = 0.008;
        std::ostringstream dark;
        for (int p = 4; p <= 9; ++p) {
            for (double side : {1.0, -1.0}) {  // the upper half, then the lower (turned over)
                const double near = kHinge + side * kScaleY * kMeshBottomAboveHinge;
                const double far =
                    kHinge + side * kScaleY * (kMeshBottomAboveHinge + kMeshHeight * kDivider);
                const double y0 = kHeight / 2.0 + std::min(near, far) * kPixelsPerUnit - 1.0;
                const double y1 = kHeight / 2.0 + std::max(near, far) * kPixelsPerUnit + 1.0;
                for (double f = 0.2; f <= 0.8; f += 0.05) {
                    const double worldX = kCentreX[p] + (kMeshLeft + kMeshWidth * f) * kScaleX;
                    const int x = static_cast<int>(kWidth / 2.0 + worldX * kPixelsPerUnit);
                    bool lit = false;
                    for (int y = static_cast<int>(std::floor(y0)); y <= static_cast<int>(y1); ++y) {
                        if (y + 0.5 < y0 || y + 0.5 > y1) continue;
                        const Rgb c = Pixel(x, y);
                        lit = lit || (std::fabs(c.r - 0.8) <= kTolerance &&
                                      std::fabs(c.g - 0.8) <= kTolerance &&
                                      std::fabs(c.b - 0.8) <= kTolerance);
                    }
                    if (!lit) {
                        dark << "\n  tile " << p << (side > 0 ? " upper" : " lower")
                             << " half, column " << x << ", rows " << y0 << " to " << y1;
                    }
                }
            }
        }
        EXPECT_TRUE(dark.str().empty()) << "no lit divider row at:" << dark.str();
    }

    GLuint framebuffer_ = 0;
    GLuint renderbuffers_[2] = {};
    std::vector<float> pixels_;
    CWindowOutput inPlace_{nullptr, FrameOutputKind::Whole};  // the whole scene drawn in place
};

const int kShown[10] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6};   // 12:34:56
const int kComing[10] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 7};  // 12:34:57
const bool kResting[10] = {};
const bool kSecondsFlip[10] = {false, false, false, false, false, false, false, false, true, true};

TEST_F(ClockScenePicture, RestingAtTwelveThirtyFourFiftySix) {
    DrawAt(45295.8);
    ASSERT_EQ(g_tileFlipping[8], 0);
    ExpectPicture(LayersOf(kShown, kComing, kResting, 0.0), kTolerance, "12:34:56 at rest");
    ExpectDividersLit();

    // The vignette at the middle of each edge: 1 - W / 2H = 0.11 left and
    // right, 1 - H / 2W = 0.72 top and bottom, against the texel there.
    struct EdgePoint {
        int x, y;
        double factor;
    };
    const EdgePoint edges[] = {
        {0, 540, 0.11}, {1919, 540, 0.11}, {960, 0, 0.72}, {960, 1079, 0.72}};
    // Forty-one pixels along the edge, where the factor hardly changes,
    // against the texels under them.
    for (const EdgePoint& e : edges) {
        double shown = 0, texels = 0;
        for (int k = -20; k <= 20; ++k) {
            const int x = e.x == 960 ? e.x + k : e.x;
            const int y = e.x == 960 ? e.y : e.y + k;
            shown += Pixel(x, y).g;
            texels += BackgroundTexelAt(x + 0.5, y + 0.5).g;
        }
        ASSERT_GT(texels, 41 * 0.02) << e.x << ", " << e.y;
        // The GL's filter and the weave's fine pattern leave about 0.015.
        EXPECT_NEAR(shown / texels, e.factor, 0.02) << "at " << e.x << ", " << e.y;
    }
}

TEST_F(ClockScenePicture, FlapsMidFlip) {
    for (double target : {30.0, 75.0, 130.0}) {
        const double angle = DrawFlipAt(target);
        ASSERT_NEAR(angle, target, 2.0) << "the flap could not be posed";
        EXPECT_EQ(g_tileAngle[8], g_tileAngle[9]);
        const std::string state = "flap at " + std::to_string(angle) + " degrees";
        ExpectPicture(LayersOf(kShown, kComing, kSecondsFlip, angle), kTolerance, state.c_str());
    }
}

}  // namespace
