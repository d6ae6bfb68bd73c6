// A picture in floating point, 0..255 per channel with straight alpha, that
// every generated image is drawn on before it is encoded. Shapes are drawn
// from signed distances so their edges are anti-aliased at any size.
#pragma once

#include <cstddef>
#include <vector>

struct Rgba {
    float r, g, b, a;
};

inline constexpr Rgba Grey(float v, float a = 255.0f) { return {v, v, v, a}; }

struct Rect {
    float left, top, right, bottom;
};

class Canvas {
public:
    Canvas(int width, int height, Rgba fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    Rgba& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // Puts `colour` over pixel (x, y) with the given coverage (0..1);
    // pixels outside the canvas are ignored.
    void Blend(int x, int y, Rgba colour, float coverage);

    // Averages factor x factor blocks: the supersampled drawing at its final size.
    Canvas Downsampled(int factor) const;

private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

// Signed distance from (x, y) to the rectangle with rounded corners:
// negative inside, in pixels.
float RoundedRectDistance(float x, float y, const Rect& rect, float radius);

void FillRoundedRect(Canvas& canvas, const Rect& rect, float radius, Rgba colour);
// A line of `width` pixels just inside the edge of the rounded rectangle.
void StrokeRoundedRect(Canvas& canvas, const Rect& rect, float radius, float width, Rgba colour);

// Fills the shape whose signed distance (negative inside, in pixels) `distance`
// gives for a point, over the pixels of `bounds`.
template <typename Distance>
void FillShape(Canvas& canvas, const Rect& bounds, Distance distance, Rgba colour) {
    for (int y = static_cast<int>(bounds.top) - 1; y <= static_cast<int>(bounds.bottom) + 1; ++y) {
        for (int x = static_cast<int>(bounds.left) - 1; x <= static_cast<int>(bounds.right) + 1;
             ++x) {
            const float d = distance(x + 0.5f, y + 0.5f);
            const float cover = 0.5f - d;
            if (cover > 0.0f) canvas.Blend(x, y, colour, cover > 1.0f ? 1.0f : cover);
        }
    }
}
