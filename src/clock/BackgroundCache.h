// The background pass, drawn once into a framebuffer of the same kind as
// the one the frame goes to and copied into every frame after that.
//
// The background's picture depends on the drawing size alone (it is mapped
// by screen position), yet it is the costliest pass of a frame: every pixel
// samples the 2048 x 2048 float texture with the driver's largest
// anisotropy, most of a frame's time on a software renderer. The copy is
// sample for sample, so the frame's pixels stay exactly those of the pass
// drawn in place; where no exact copy can be had (another colour format, a
// driver that refuses the copy) the pass is drawn in place.
#pragma once

#include <cstdint>

class CBackgroundCache {
public:
    // Copies the background of a width x height frame into the current draw
    // framebuffer, first drawing it into the cache with drawPass when the
    // framebuffer or the size changed (a framebuffer is taken to keep its
    // sample count and format while it keeps its size, as a window does).
    // False when nothing was copied: the caller draws the pass itself.
    bool CopyInto(std::int32_t width, std::int32_t height, void (*drawPass)());

    // Deletes the cache's GL objects, with the context it was drawn in
    // current (a framebuffer belongs to its context alone); the next copy
    // draws it again.
    void Release();

private:
    // What the cache was drawn for: the framebuffer the frame goes to and
    // its size; its sample count and colour format are read when these
    // change (0: no exact copy to be had).
    struct Target {
        std::uint32_t framebuffer = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t samples = 0;
        std::uint32_t format = 0;
    };

    void Rebuild(std::uint32_t framebuffer, std::int32_t width, std::int32_t height,
                 void (*drawPass)());
    void Blit() const;

    Target target_;
    bool built_ = false;
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colour_ = 0;
};
