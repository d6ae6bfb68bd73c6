#include "Canvas.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Rgba colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0f) return;
    Rgba& d = At(x, y);
    const float sa = colour.a / 255.0f * std::min(coverage, 1.0f);
    const float da = d.a / 255.0f;
    const float oa = sa + da * (1.0f - sa);
    if (oa <= 0.0f) return;
    const float keep = da * (1.0f - sa);
    d.r = (colour.r * sa + d.r * keep) / oa;
    d.g = (colour.g * sa + d.g * keep) / oa;
    d.b = (colour.b * sa + d.b * keep) / oa;
    d.a = oa * 255.0f;
}

Canvas Canvas::Downsampled(int factor) const {
    Canvas out(width_ / factor, height_ / factor, Grey(0.0f, 0.0f));
    const float n = static_cast<float>(factor * factor);
    for (int y = 0; y < out.height_; ++y) {
        for (int x = 0; x < out.width_; ++x) {
            // Colours are weighted by alpha so transparent pixels lend no colour.
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < factor; ++sy) {
                for (int sx = 0; sx < factor; ++sx) {
                    const Rgba& p = At(x * factor + sx, y * factor + sy);
                    r += p.r * p.a;
                    g += p.g * p.a;
                    b += p.b * p.a;
                    a += p.a;
                }
            }
            Rgba& o = out.At(x, y);
            if (a > 0.0f) o = {r / a, g / a, b / a, a / n};
        }
    }
    return out;
}

float RoundedRectDistance(float x, float y, const Rect& rect, float radius) {
    const float cx = (rect.left + rect.right) * 0.5f;
    const float cy = (rect.top + rect.bottom) * 0.5f;
    const float qx = std::fabs(x - cx) - ((rect.right - rect.left) * 0.5f - radius);
    const float qy = std::fabs(y - cy) - ((rect.bottom - rect.top) * 0.5f - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

namespace {

// Calls paint(x, y, distance) for every pixel near or inside the rectangle,
// the distance taken at the pixel's centre.
template <typename Paint>
void ForEachNear(Canvas& canvas, const Rect& rect, float radius, Paint paint) {
    const int x0 = std::max(0, static_cast<int>(std::floor(rect.left)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(rect.top)) - 1);
    const int x1 = std::min(canvas.Width(), static_cast<int>(std::ceil(rect.right)) + 1);
    const int y1 = std::min(canvas.Height(), static_cast<int>(std::ceil(rect.bottom)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            paint(x, y, RoundedRectDistance(x + 0.5f, y + 0.5f, rect, radius));
        }
    }
}

}  // namespace

void FillRoundedRect(Canvas& canvas, const Rect& rect, float radius, Rgba colour) {
    ForEachNear(canvas, rect, radius, [&](int x, int y, float d) {
        canvas.Blend(x, y, colour, std::clamp(0.5f - d, 0.0f, 1.0f));
    });
}

void StrokeRoundedRect(Canvas& canvas, const Rect& rect, float radius, float width, Rgba colour) {
    ForEachNear(canvas, rect, radius, [&](int x, int y, float d) {
        // Coverage of the band -width <= d <= 0 by a pixel-wide footprint.
        const float cover = std::min(d + width, -d) + 0.5f;
        canvas.Blend(x, y, colour, std::clamp(std::min(cover, width), 0.0f, 1.0f));
    });
}
