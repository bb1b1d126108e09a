// GLWNDPROC: the window procedure of "GLWindow". It turns window messages
// into the framework's globals: ACTIVE follows the window's life, SETKEY the
// keyboard, and the mouse globals the buttons and the pointer.
#include "quorvel/window.h"

namespace quorvel {

namespace {

// Mouse positions come as two signed 16-bit halves: while the mouse is
// captured, a point left of or above the client area is a small negative
// number, so a drag that leaves the window turns the angles smoothly
// instead of leaping by tens of thousands of degrees.
int32_t MouseX(LPARAM lparam) {
    return GET_X_LPARAM(lparam);
}
int32_t MouseY(LPARAM lparam) {
    return GET_Y_LPARAM(lparam);
}

// value + (difference / divisor) * MSPEED, with the difference divided as a
// floating-point number, summed in double and stored as a single.
float Turned(float value, int32_t difference, double divisor) {
    return static_cast<float>(double(value) + (double(difference) / divisor) * MSPEED);
}
float Clamped60(float value) {
    if (value > 60) return 60;
    if (value < -60) return -60;
    return value;
}

void MouseMoved(int32_t x, int32_t y) {
    SETOMX = x;
    SETOMY = y;
    if (LEFTMOUSEDOWN) {
        // Vertical movement turns XROT, horizontal movement turns YROT.
        const int32_t dy = CheckedSub(y, YCOORD);
        const int32_t dx = CheckedSub(x, XCOORD);
        XROT = Turned(XROT, dy, 2);
        YROT = Turned(YROT, dx, 2);
        XROT2 = Turned(XROT2, dy, 2);
        YROT2 = Turned(YROT2, dx, 2);
        XCOORD = x;
        YCOORD = y;
    }
    if (RIGHTMOUSEDOWN && !MOUSEFREE) {
        const int32_t dz = CheckedSub(y, ZCOORD);
        DEPTH = Turned(DEPTH, CheckedSub(0, dz), 10);
        DEPTH2 = Turned(DEPTH2, CheckedSub(0, dz), 10);
        ZCOORD = y;
    }
    if (MOUSEFREE && GetForegroundWindow() == HWINDOW) {
        // Mouse look: the cursor's distance from the centre turns the view,
        // then the cursor goes back to the centre for the next move.
        GetCursorPos(&MPOS);
        const int32_t cx = WIDTH / 2;
        const int32_t cy = HEIGHT / 2;
        SetCursorPos(cx, cy);
        const int32_t dx = CheckedSub(int32_t(MPOS.x), cx);
        const int32_t dy = CheckedSub(cy, int32_t(MPOS.y));
        XROT = Turned(XROT, dx, 100);
        YROT = Clamped60(Turned(YROT, CheckedSub(0, dy), 100));
        XROT2 = Turned(XROT2, dx, 100);
        YROT2 = Clamped60(Turned(YROT2, CheckedSub(0, dy), 100));
    }
}

} // namespace

LRESULT CALLBACK GLWNDPROC(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_) {
    switch (AMESSAGE) {
    case WM_CREATE:
        ACTIVE = true;
        return 0;
    case WM_DESTROY:
        ACTIVE = false;
        PostQuitMessage(0); // nothing waits for it: the frame loop watches ACTIVE
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(WINDOW, &paint);
        UpdateWindow(HSTATUS);
        EndPaint(WINDOW, &paint);
        return 0;
    }
    case WM_CONTEXTMENU:
        if (SHOWMENUBAR && CREATEMOUSEMENU != nullptr) CREATEMOUSEMENU();
        break;
    case WM_KEYDOWN:
        if (WPARAM_ == VK_ESCAPE) {
            // Ends the frame loop without destroying the window: that is
            // DELETEOGLWINDOW's job once the current frame is finished.
            SendMessageA(HWINDOW, WM_DESTROY, 0, 0);
            return 0;
        }
        SETKEY[int64_t(WPARAM_)] = -1;
        break;
    case WM_KEYUP:
        SETKEY[int64_t(WPARAM_)] = 0;
        MOUSEFREE = false;
        break;
    case WM_COMMAND:
        if (SHOWMENUBAR && GETINPUTCOMMAND != nullptr)
            GETINPUTCOMMAND(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
        return 0;
    case WM_MOUSEMOVE:
        MouseMoved(MouseX(LPARAM_), MouseY(LPARAM_));
        break;
    case WM_LBUTTONDOWN:
        ReleaseCapture();
        SetCapture(HWINDOW);
        LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = true;
        XCOORD = SETMX = MouseX(LPARAM_);
        YCOORD = SETMY = MouseY(LPARAM_);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = false;
        XCOORD = YCOORD = SETMX = SETMY = 0;
        break;
    case WM_RBUTTONDOWN:
        ReleaseCapture();
        SetCapture(HWINDOW);
        RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = true;
        ZCOORD = MouseY(LPARAM_);
        break;
    case WM_RBUTTONUP:
        ReleaseCapture();
        RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = false;
        break;
    default:
        break;
    }
    // Keeps the status bar, when there is one, painted at once.
    if (WPARAM_ == 0) UpdateWindow(HSTATUS);
    return DefWindowProcA(WINDOW, AMESSAGE, WPARAM_, LPARAM_);
}

} // namespace quorvel
