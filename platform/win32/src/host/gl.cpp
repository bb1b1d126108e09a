// OpenGL through SDL: pixel formats, compatibility-profile contexts, making
// them current, and presenting (with the optional read-back of each frame).
//
// The gl* entry points the program calls come from the system's libGL; it
// dispatches to whatever context is current on the thread, which is the one
// SDL made current here (through GLX on X11, through EGL headless).
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "host/host_state.h"

namespace qv::host {
namespace detail {

namespace {

PixelFormat Rgb(int alpha, int depth, int stencil, bool double_buffer) {
    PixelFormat f;
    f.red_bits = f.green_bits = f.blue_bits = 8;
    f.alpha_bits = alpha;
    f.color_bits = alpha ? 32 : 24;
    // Win32's shifts for a little-endian 0xAARRGGBB pixel.
    f.blue_shift = 0;
    f.green_shift = 8;
    f.red_shift = 16;
    f.alpha_shift = alpha ? 24 : 0;
    f.depth_bits = depth;
    f.stencil_bits = stencil;
    f.accum_bits = 0;
    f.double_buffer = double_buffer;
    return f;
}

bool BindSdl(NativeWindow* w, Context* c) {
    if (!c) return SDL_GL_MakeCurrent(w ? w->sdl : nullptr, nullptr) == 0;
    return w && w->sdl && SDL_GL_MakeCurrent(w->sdl, c->sdl) == 0;
}

// Reads the buffer being drawn into, top row first; leaves GL's read and
// pack state as the application had it.
void ReadBack(NativeWindow& w) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(w.sdl, &width, &height);
    if (width <= 0 || height <= 0) return;

    using BindBuffer = void(APIENTRY*)(GLenum, GLuint);
    auto bind_buffer = reinterpret_cast<BindBuffer>(SDL_GL_GetProcAddress("glBindBuffer"));
    GLint pack_buffer = 0;
    if (bind_buffer) {
        glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &pack_buffer);
        if (pack_buffer) bind_buffer(GL_PIXEL_PACK_BUFFER, 0);
    }
    GLint read_buffer = 0, draw_buffer = 0;
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
    glReadBuffer(GLenum(draw_buffer));

    std::vector<uint8_t> bottom_up(size_t(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());

    glReadBuffer(GLenum(read_buffer));
    glPopClientAttrib();
    if (bind_buffer && pack_buffer) bind_buffer(GL_PIXEL_PACK_BUFFER, GLuint(pack_buffer));

    w.presented.width = width;
    w.presented.height = height;
    w.presented.rgba.resize(bottom_up.size());
    const size_t row = size_t(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(&w.presented.rgba[size_t(y) * row], &bottom_up[size_t(height - 1 - y) * row],
                    row);
    w.has_presented = true;
}

} // namespace

void ApplyPixelFormat(int format) {
    const auto& formats = PixelFormats();
    if (format < 1 || size_t(format) > formats.size()) format = 1;
    const PixelFormat& f = formats[size_t(format) - 1];
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, f.red_bits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, f.green_bits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, f.blue_bits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alpha_bits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depth_bits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencil_bits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.double_buffer ? 1 : 0);
}

} // namespace detail

using detail::S;

// Only formats whose sizes come out exactly as described both through EGL
// (headless) and through GLX on an X server; others would be granted with
// larger buffers than they claim.
const std::vector<PixelFormat>& PixelFormats() {
    static const std::vector<PixelFormat> formats = {
        detail::Rgb(8, 24, 8, true),  detail::Rgb(8, 24, 8, false), detail::Rgb(0, 24, 8, true),
        detail::Rgb(0, 24, 8, false), detail::Rgb(8, 0, 0, true),   detail::Rgb(8, 0, 0, false),
    };
    return formats;
}

ContextId CreateGLContext(WindowId window, int pixel_format) {
    auto& s = S();
    detail::NativeWindow* w = detail::FindWindow(window);
    if (!w || pixel_format < 1 || size_t(pixel_format) > PixelFormats().size()) return 0;
    if (!detail::RemakeNativeWindow(*w, pixel_format)) return 0;

    detail::ApplyPixelFormat(pixel_format);
    SDL_GLContext ctx = SDL_GL_CreateContext(w->sdl);
    if (!ctx) return 0;
    w->used_by_gl = true;

    // SDL makes a new context current; Win32's wglCreateContext does not.
    auto cur = s.contexts.find(s.current_context);
    if (cur != s.contexts.end())
        detail::BindSdl(detail::FindWindowEvenClosed(s.current_window), &cur->second);
    else
        SDL_GL_MakeCurrent(w->sdl, nullptr);

    detail::Context c;
    c.id = s.next_context++;
    c.sdl = ctx;
    c.pixel_format = pixel_format;
    c.last_window = window;
    s.contexts[c.id] = c;
    return c.id;
}

bool MakeCurrent(WindowId window, ContextId context) {
    auto& s = S();
    if (context == 0) {
        if (s.current_context) SDL_GL_MakeCurrent(nullptr, nullptr);
        s.current_context = 0;
        s.current_window = 0;
        detail::ReleaseClosedWindows();
        return true;
    }
    auto it = s.contexts.find(context);
    // Making the pair that is already current again is harmless, even when
    // its window has been closed meanwhile.
    if (it != s.contexts.end() && s.current_context == context && s.current_window == window)
        return true;
    detail::NativeWindow* w = detail::FindWindow(window);
    bool ok = it != s.contexts.end() && w && w->pixel_format == it->second.pixel_format &&
              detail::BindSdl(w, &it->second);
    if (!ok) {
        // Win32 leaves no context current after a failed wglMakeCurrent.
        MakeCurrent(0, 0);
        return false;
    }
    w->used_by_gl = true;
    it->second.last_window = window;
    s.current_context = context;
    s.current_window = window;
    detail::ReleaseClosedWindows();
    return true;
}

bool DeleteGLContext(ContextId context) {
    auto& s = S();
    auto it = s.contexts.find(context);
    if (it == s.contexts.end()) return false;
    if (s.current_context == context) MakeCurrent(0, 0);
    SDL_GL_DeleteContext(it->second.sdl);
    s.contexts.erase(it);
    return true;
}

bool SwapWindow(WindowId window) {
    auto& s = S();
    detail::NativeWindow* w = detail::FindWindow(window);
    if (!w || !w->used_by_gl) return false;

    // Presenting needs a context current on the window. Win32 swaps a
    // window whatever is current, so borrow one of the window's contexts.
    detail::Context* borrowed = nullptr;
    if (s.current_window != window) {
        for (auto& [id, c] : s.contexts)
            if (c.pixel_format == w->pixel_format && (!borrowed || c.last_window == window))
                borrowed = &c;
        if (!borrowed || !detail::BindSdl(w, borrowed)) return false;
    }

    if (s.present_capture) detail::ReadBack(*w);
    SDL_GL_SwapWindow(w->sdl);

    if (borrowed) {
        auto cur = s.contexts.find(s.current_context);
        if (cur != s.contexts.end())
            detail::BindSdl(detail::FindWindowEvenClosed(s.current_window), &cur->second);
        else
            SDL_GL_MakeCurrent(w->sdl, nullptr);
    }
    return true;
}

size_t LiveGLContexts() {
    return S().contexts.size();
}

void SetPresentCapture(bool on) {
    S().present_capture = on;
}

bool LastPresented(WindowId window, Image& out) {
    detail::NativeWindow* w = detail::FindWindowEvenClosed(window);
    if (!w || !w->has_presented) return false;
    out = w->presented;
    return true;
}

} // namespace qv::host

namespace qv::host {

void* GLProcAddress(const char* name) {
    if (!name || !detail::S().current_context) return nullptr;
    return SDL_GL_GetProcAddress(name);
}

} // namespace qv::host
