// Rendering contexts: made for a window's pixel format, current on the
// calling thread (the application's one), deleted; and the buffer swap.
#include <memory>

#include "common/fault.h"
#include "common/handle_table.h"
#include "host/host.h"
#include "user/window_internal.h"
#include "wgl/wgl_internal.h"

namespace qv::wgl {

namespace {

struct RenderingContext {
    host::ContextId host = 0;
    int pixel_format = 0;
};

HandleTable<RenderingContext>& Contexts() {
    static HandleTable<RenderingContext> table(HandleKind::GLContext);
    return table;
}

HGLRC current_rc = nullptr;
HDC current_dc = nullptr;

void ReleaseCurrent() {
    if (current_rc) host::MakeCurrent(0, 0);
    current_rc = nullptr;
    current_dc = nullptr;
}

} // namespace

} // namespace qv::wgl

using namespace qv;

extern "C" HGLRC WINAPI wglCreateContext(HDC hdc) {
    if (ShouldFail("wglCreateContext")) return nullptr;
    HWND window = wgl::LiveWindowOf(hdc);
    if (!window) return nullptr;
    int format = wgl::WindowPixelFormat(window);
    host::WindowId native = user::NativeWindowOf(window);
    if (!format || !native) return nullptr;
    host::ContextId id = host::CreateGLContext(native, format);
    if (!id) return nullptr;
    auto rc = std::make_unique<wgl::RenderingContext>();
    rc->host = id;
    rc->pixel_format = format;
    uintptr_t handle = wgl::Contexts().Add(std::move(rc));
    if (!handle) host::DeleteGLContext(id);
    return HandleFrom<HGLRC>(handle);
}

extern "C" BOOL WINAPI wglMakeCurrent(HDC hdc, HGLRC hglrc) {
    if (!hglrc) { // the DC does not matter when letting go
        wgl::ReleaseCurrent();
        return TRUE;
    }
    wgl::RenderingContext* rc = wgl::Contexts().Get(HandleValue(hglrc));
    HWND window = wgl::LiveWindowOf(hdc);
    host::WindowId native = window ? user::NativeWindowOf(window) : 0;
    if (!rc || !native || wgl::WindowPixelFormat(window) != rc->pixel_format) {
        // Win32 leaves no context current after a failed call.
        wgl::ReleaseCurrent();
        return FALSE;
    }
    if (!host::MakeCurrent(native, rc->host)) {
        wgl::current_rc = nullptr;
        wgl::current_dc = nullptr;
        return FALSE;
    }
    wgl::current_rc = hglrc;
    wgl::current_dc = hdc;
    return TRUE;
}

extern "C" BOOL WINAPI wglDeleteContext(HGLRC hglrc) {
    wgl::RenderingContext* rc = wgl::Contexts().Get(HandleValue(hglrc));
    if (!rc) return FALSE;
    if (wgl::current_rc == hglrc) wgl::ReleaseCurrent();
    host::DeleteGLContext(rc->host);
    wgl::Contexts().Remove(HandleValue(hglrc));
    return TRUE;
}

extern "C" HGLRC WINAPI wglGetCurrentContext(void) {
    return wgl::current_rc;
}

extern "C" HDC WINAPI wglGetCurrentDC(void) {
    return wgl::current_dc;
}

extern "C" PROC WINAPI wglGetProcAddress(LPCSTR lpszProc) {
    if (!wgl::current_rc) return nullptr;
    return reinterpret_cast<PROC>(host::GLProcAddress(lpszProc));
}

extern "C" BOOL WINAPI SwapBuffers(HDC hdc) {
    // A DC whose window has gone answers FALSE: the program may still be
    // drawing with its context after the user closed the window.
    HWND window = wgl::LiveWindowOf(hdc);
    if (!window || !wgl::WindowPixelFormat(window)) return FALSE;
    host::WindowId native = user::NativeWindowOf(window);
    if (!native || !host::SwapWindow(native)) return FALSE;
    wgl::NotifyPresented(window);
    return TRUE;
}
