// WINDOWINIT: the window's device context, pixel format and rendering
// context, made current on the calling thread.
#include "quorvel/window.h"

namespace quorvel {

namespace {

// Double buffer, stereo, draw to window, OpenGL, generic format, generic
// acceleration: the framework's own flags, whatever the application adds.
constexpr DWORD kFrameworkFlags = PFD_DOUBLEBUFFER | PFD_STEREO | PFD_DRAW_TO_WINDOW |
                                  PFD_SUPPORT_OPENGL | PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;
static_assert(kFrameworkFlags == 0x1067);

enum FunctionError { kNone = 0, kNoPixelFormat = 1, kNoContext = 2 };

} // namespace

bool WINDOWINIT(HWND HPARENT) {
    int32_t FUNCTIONERROR = kNone;
    DCWINDOW = GetDC(HPARENT);

    // Every count of the request gets BITS, not only the colour depth; the
    // platform picks the closest format it has. Each count is one byte, so
    // BITS outside 0..255 is a range error.
    const BYTE bits = CheckedNarrow<BYTE>(BITS);
    PIXELFORMATDESCRIPTOR request{};
    static_assert(sizeof(request) == 40);
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = static_cast<DWORD>(PIXEL_FORMAT_FLAGS) | kFrameworkFlags;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = bits;
    request.cAlphaBits = bits;
    request.cAccumBits = bits;
    request.cDepthBits = bits;
    request.cStencilBits = bits;
    request.cAuxBuffers = bits;
    request.iLayerType = 1;

    // A failed choice does not stop the sequence: the rest is still tried and
    // the failure is reported at the end.
    const int format = ChoosePixelFormat(DCWINDOW, &request);
    if (format == 0) FUNCTIONERROR = kNoPixelFormat;
    SetPixelFormat(DCWINDOW, format, &request);
    RCWINDOW = wglCreateContext(DCWINDOW);
    if (RCWINDOW == nullptr) FUNCTIONERROR = kNoContext;
    wglMakeCurrent(DCWINDOW, RCWINDOW);
    return FUNCTIONERROR == kNone;
}

} // namespace quorvel
