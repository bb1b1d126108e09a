#include "gl_context.h"

#include <GL/gl.h>

// The support library sees only the layer's public headers; the host is
// the one way to a context that needs no window of the user layer.
#include "../../platform/win32/src/host/host.h"

namespace qvtest {

GLContext::GLContext(int width, int height) : width_(width), height_(height) {
    qv::host::WindowDesc desc;
    desc.title_utf8 = "quorvel test context";
    desc.width = width;
    desc.height = height;
    desc.decorated = false;
    desc.visible = false;
    window_ = qv::host::CreateNativeWindow(desc);
    if (!window_) return;
    context_ = qv::host::CreateGLContext(window_, 1);
    if (!context_) return;
    current_ = qv::host::MakeCurrent(window_, context_);
    if (current_) glViewport(0, 0, width, height);
}

GLContext::~GLContext() {
    if (context_) qv::host::DeleteGLContext(context_);
    if (window_) qv::host::DestroyNativeWindow(window_);
}

bool GLContext::MakeCurrent() {
    current_ = context_ && qv::host::MakeCurrent(window_, context_);
    return current_;
}

std::vector<uint8_t> GLContext::ReadPixels() const {
    std::vector<uint8_t> out(size_t(width_) * size_t(height_) * 4);
    GLint pack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    return out;
}

uint32_t GLContext::Pixel(int x, int y) const {
    uint8_t p[4] = {0, 0, 0, 0};
    GLint pack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

} // namespace qvtest
