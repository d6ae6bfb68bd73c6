#include "clock/BackgroundCache.h"

#include "platform/GL.h"

namespace {

// The framebuffer bindings of the caller, put back after the cache's work.
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

void ClearErrors() {
    // Bounded: a lost context may report an error on every call.
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// The sample count and an exactly matching colour format of the draw
// framebuffer; format 0 where there is none.
void ReadKind(std::uint32_t framebuffer, std::int32_t* samples, std::uint32_t* format) {
    // The window's framebuffer draws to its back buffer, ours to attachment 0.
    const GLenum attachment = framebuffer == 0 ? GL_BACK_LEFT : GL_COLOR_ATTACHMENT0;
    GLint count = 0;
    glGetIntegerv(GL_SAMPLES, &count);
    *samples = count;
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
    // writing is off): the cache takes the same encoding, so that the copy
    // converts nothing either way.
    if (encoding == GL_LINEAR && alpha == 8) *format = GL_RGBA8;
    if (encoding == GL_LINEAR && alpha == 0) *format = GL_RGB8;
    if (encoding == GL_SRGB && alpha == 8) *format = GL_SRGB8_ALPHA8;
}

}  // namespace

void CBackgroundCache::Rebuild(std::uint32_t framebuffer, std::int32_t width, std::int32_t height,
                               void (*drawPass)()) {
    built_ = false;
    target_.framebuffer = framebuffer;
    target_.width = width;
    target_.height = height;
    ReadKind(framebuffer, &target_.samples, &target_.format);
    if (target_.format == 0 || width <= 0 || height <= 0) return;

    const BoundFramebuffers caller;
    ClearErrors();
    if (framebuffer_ == 0) {
        glGenFramebuffers(1, &framebuffer_);
        glGenRenderbuffers(1, &colour_);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, target_.samples, target_.format, width,
                                     height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        // As the frame would: cleared to the default black, then the pass.
        // No depth buffer: nothing else is drawn here.
        glClear(GL_COLOR_BUFFER_BIT);
        drawPass();
        caller.Restore();
        // The first copy tells whether the driver takes it.
        Blit();
        built_ = glGetError() == GL_NO_ERROR;
    }
    caller.Restore();
}

void CBackgroundCache::Blit() const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target_.framebuffer);
    glBlitFramebuffer(0, 0, target_.width, target_.height, 0, 0, target_.width, target_.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

bool CBackgroundCache::CopyInto(std::int32_t width, std::int32_t height, void (*drawPass)()) {
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    const auto framebuffer = static_cast<std::uint32_t>(bound);
    if (framebuffer != target_.framebuffer || width != target_.width || height != target_.height) {
        Rebuild(framebuffer, width, height, drawPass);
        return built_;
    }
    if (!built_) return false;
    GLint read = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    Blit();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    return true;
}

void CBackgroundCache::Release() {
    if (framebuffer_ != 0) {
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteRenderbuffers(1, &colour_);
    }
    framebuffer_ = 0;
    colour_ = 0;
    built_ = false;
    target_ = Target{};
}
