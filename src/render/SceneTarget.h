// The multisampled framebuffer a window's frames are drawn into where they
// are presented by rectangle (host/FrameOutputs.h): four samples as
// every clock window asks for, colour in the window's format (linear, as
// sRGB writing is never on), depth and stencil as the window's. It keeps its picture from frame to
// frame, so a frame draws only what changed, and is resolved into the single-sample window only
// there.
//
// Laid out in memory as the window is. A window's rows run from the top in
// memory, a framebuffer's of our own from the bottom, and a software
// renderer's sample positions are fixed in memory: the same geometry drawn
// into both covers other samples at antialiased edges. So, for a window,
// drawing turns the rows around (the clip origin at the upper left) and the
// resolve turns them back. The fragment's window position then counts rows
// from the top: what reads it (the background's shader) is drawn into a
// framebuffer of the usual kind and copied in with its rows mirrored.
#pragma once

#include <cstdint>

#include "platform/PixelRect.h"

enum class TargetRows : std::uint8_t { AsGL, AsWindow };

class GLFWSceneTarget {
public:
    // Makes the target fit the draw framebuffer now bound, the one it is
    // resolved into, at width x height. Reads that framebuffer's kind only
    // when it or the size changes. False when no such target can be had.
    bool Fit(std::int32_t width, std::int32_t height);

    // Whether the target's rows are turned to run as its window's (see
    // above): the clip origin is turned while drawing, and copies between
    // the target and framebuffers of the usual kind mirror their rows.
    bool FlipsRows() const { return flipsRows_; }

    // Binds the target as the draw and read framebuffer, its clip origin
    // turned for drawing if it flips rows (AsWindow), or left as GL's
    // (AsGL, for copies).
    void Bind(TargetRows rows);

    // Binds the window's framebuffer again, the clip origin as GL's.
    void Unbind();

    // A rectangle of the window (window coordinates) in the target's own.
    PixelRect InTarget(const PixelRect& rect) const;

    // Resolves rect of the picture into the window's framebuffer, which is
    // bound afterwards.
    void ResolveIntoWindow(const PixelRect& rect);

    // Deletes the GL objects, with the context they were made in current.
    void Release();

    static constexpr int kSamples = 4;

private:
    bool fitted_ = false;
    bool usable_ = false;
    bool flipsRows_ = false;
    std::uint32_t window_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colour_ = 0;
    std::uint32_t depth_ = 0;
};
