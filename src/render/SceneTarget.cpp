#include "render/SceneTarget.h"

#include "platform/GL.h"
#include "render/SampleCopy.h"

namespace {

bool CanTurnRows() { return g_glEntryPoints[GLEP_glClipControl] != nullptr; }

}  // namespace

bool GLFWSceneTarget::Fit(std::int32_t width, std::int32_t height) {
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    const auto window = static_cast<std::uint32_t>(bound);
    if (fitted_ && window == window_ && width == width_ && height == height_) return usable_;
    fitted_ = true;
    window_ = window;
    width_ = width;
    height_ = height;
    usable_ = false;
    // The window's own rows run from the top (a driver's window is laid out
    // for the display); a framebuffer standing in for it, from the bottom.
    flipsRows_ = window == 0 && CanTurnRows();

    GLint samples = 0;
    GLenum format = 0;
    ReadFramebufferKind(window, &samples, &format);
    // sRGB writing is never on, so drawing, copying and resolving treat an
    // sRGB-capable window's colour as linear: so does the target, whose
    // copies then stay plain ones (a software renderer copies the linear
    // view of an sRGB buffer by drawing).
    if (format == GL_SRGB8_ALPHA8) format = GL_RGBA8;
    if (format == 0 || width <= 0 || height <= 0) return false;

    usable_ = StoreFramebuffer(&framebuffer_, &colour_, &depth_, kSamples, format, width, height);
    GLint targetSamples = 0;
    glGetIntegerv(GL_SAMPLES, &targetSamples);
    usable_ = usable_ && targetSamples == kSamples;
    glBindFramebuffer(GL_FRAMEBUFFER, window_);
    return usable_;
}

void GLFWSceneTarget::Bind(TargetRows rows) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (rows == TargetRows::AsWindow && flipsRows_)
        glClipControl(GL_UPPER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
}

void GLFWSceneTarget::Unbind() {
    if (flipsRows_) glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    glBindFramebuffer(GL_FRAMEBUFFER, window_);
}

PixelRect GLFWSceneTarget::InTarget(const PixelRect& rect) const {
    if (!flipsRows_) return rect;
    return PixelRect{rect.x, height_ - rect.y - rect.height, rect.width, rect.height};
}

void GLFWSceneTarget::ResolveIntoWindow(const PixelRect& rect) {
    if (flipsRows_) glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window_);
    const PixelRect from = InTarget(rect);
    const GLint x0 = rect.x;
    const GLint x1 = rect.x + rect.width;
    // Mirrored where the rows run the other way: source rows from the top,
    // the window's from the bottom.
    const GLint y0 = flipsRows_ ? rect.y + rect.height : rect.y;
    const GLint y1 = flipsRows_ ? rect.y : rect.y + rect.height;
    glBlitFramebuffer(x0, from.y, x1, from.y + from.height, x0, y0, x1, y1, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, window_);
}

void GLFWSceneTarget::Release() {
    if (framebuffer_ != 0) {
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteRenderbuffers(1, &colour_);
        glDeleteRenderbuffers(1, &depth_);
    }
    *this = GLFWSceneTarget{};
}
