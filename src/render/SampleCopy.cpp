#include "render/SampleCopy.h"

#include "platform/GL.h"

namespace {

// The framebuffer bindings of the caller, put back after the copy's work.
struct BoundFramebuffers {
    GLint draw = 0;
    GLint read = 0;
    BoundFramebuffers() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    }
    void Restore() const {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    }
};

GLint AttachmentParameter(GLenum attachment, GLenum name) {
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, attachment, name, &value);
    return value;
}

}  // namespace

void ClearGLErrors() {
    // Bounded: a lost context may report an error on every call.
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

void ReadFramebufferKind(std::uint32_t framebuffer, std::int32_t* samples, std::uint32_t* format) {
    // A window's framebuffer draws to its back buffer, ours to attachment 0.
    const GLenum attachment = framebuffer == 0 ? GL_BACK_LEFT : GL_COLOR_ATTACHMENT0;
    glGetIntegerv(GL_SAMPLES, samples);
    const GLint red = AttachmentParameter(attachment, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE);
    const GLint green = AttachmentParameter(attachment, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE);
    const GLint blue = AttachmentParameter(attachment, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE);
    const GLint alpha = AttachmentParameter(attachment, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    const GLint type = AttachmentParameter(attachment, GL_FRAMEBUFFER_ATTACHMENT_COMPONENT_TYPE);
    const GLint encoding =
        AttachmentParameter(attachment, GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING);
    *format = 0;
    if (red != 8 || green != 8 || blue != 8 || type != GL_UNSIGNED_NORMALIZED) return;
    // Windows are often sRGB-capable (written as they are while sRGB
    // writing is off): the copy takes the same encoding, so that copying
    // converts nothing either way.
    if (encoding == GL_LINEAR && alpha == 8) *format = GL_RGBA8;
    if (encoding == GL_LINEAR && alpha == 0) *format = GL_RGB8;
    if (encoding == GL_SRGB && alpha == 8) *format = GL_SRGB8_ALPHA8;
}

bool StoreFramebuffer(std::uint32_t* framebuffer, std::uint32_t* colour, std::uint32_t* depth,
                      std::int32_t samples, std::uint32_t format, std::int32_t width,
                      std::int32_t height) {
    ClearGLErrors();
    if (*framebuffer == 0) {
        glGenFramebuffers(1, framebuffer);
        glGenRenderbuffers(1, colour);
        if (depth != nullptr) glGenRenderbuffers(1, depth);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, *colour);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    if (depth != nullptr) {
        glBindRenderbuffer(GL_RENDERBUFFER, *depth);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH24_STENCIL8, width,
                                         height);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, *colour);
    if (depth != nullptr) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  *depth);
    }
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
           glGetError() == GL_NO_ERROR;
}

void ClearDepthIn(const PixelRect& rect) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(rect.x, rect.y, rect.width, rect.height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

bool GLFWSampleCopy::Fit(const PixelRect& region, CopySamples samples) {
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    const auto target = static_cast<std::uint32_t>(bound);
    if (fitted_ && target == target_ && region == region_ && samples == samples_) {
        return usable_;
    }
    fitted_ = true;
    target_ = target;
    region_ = region;
    samples_ = samples;
    usable_ = false;
    filled_ = false;

    GLint count = 0;
    GLenum format = 0;
    ReadFramebufferKind(target, &count, &format);
    if (samples == CopySamples::One) count = 0;
    if (format == 0 || region.width <= 0 || region.height <= 0) return false;

    const BoundFramebuffers caller;
    usable_ = StoreFramebuffer(&framebuffer_, &colour_, nullptr, count, format, region.width,
                               region.height);
    caller.Restore();
    return usable_;
}

void GLFWSampleCopy::DrawInto(void (*draw)()) {
    const BoundFramebuffers caller;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    // As a frame would be: cleared to the default black, then drawn.
    glClear(GL_COLOR_BUFFER_BIT);
    draw();
    caller.Restore();
    filled_ = true;
}

bool GLFWSampleCopy::Blit(bool take, const PixelRect& rect, CopyRows rows) {
    if (!usable_) return false;
    const BoundFramebuffers caller;
    ClearGLErrors();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, take ? target_ : framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, take ? framebuffer_ : target_);
    // The rectangle in the copy's own coordinates, and in the framebuffer's.
    const GLint x0 = rect.x - region_.x;
    const GLint y0 = rect.y - region_.y;
    const GLint x1 = x0 + rect.width;
    const GLint y1 = y0 + rect.height;
    GLint frameY0 = rect.y;
    GLint frameY1 = rect.y + rect.height;
    if (rows == CopyRows::Mirrored) {
        frameY0 = 2 * region_.y + region_.height - rect.y;
        frameY1 = frameY0 - rect.height;
    }
    if (take) {
        glBlitFramebuffer(rect.x, frameY0, rect.x + rect.width, frameY1, x0, y0, x1, y1,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
    } else {
        glBlitFramebuffer(x0, y0, x1, y1, rect.x, frameY0, rect.x + rect.width, frameY1,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    const bool copied = glGetError() == GL_NO_ERROR;
    caller.Restore();
    // A driver that refuses it once will refuse it again: draw instead,
    // until the framebuffer or the size changes.
    if (!copied) usable_ = false;
    return copied;
}

bool GLFWSampleCopy::TakeFromFramebuffer(const PixelRect& rect) {
    filled_ = Blit(true, rect, CopyRows::AsFramebuffer);
    return filled_;
}

bool GLFWSampleCopy::PutIntoFramebuffer(const PixelRect& rect, CopyRows rows) {
    return Blit(false, rect, rows);
}

void GLFWSampleCopy::Release() {
    if (framebuffer_ != 0) {
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteRenderbuffers(1, &colour_);
    }
    *this = GLFWSampleCopy{};
}
