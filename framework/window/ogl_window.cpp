// CREATEOGLWINDOW and DELETEOGLWINDOW: the framework's one window with its
// rendering context, acquired and released as a pair.
#include "quorvel/window.h"

namespace quorvel {

namespace {

// Windows-1252 text: the e with grave accent is the single byte 0xE8.
constexpr const char* kRegisterMessage = "Errore di registro per la rispettiva applicazione!";
constexpr const char* kCreateMessage =
    "Impossibile creare la finestra per la rispettiva applicazione!";
constexpr const char* kInitMessage = "la rispettiva applicazione non \xE8 stata inizilizata!";

} // namespace

bool CREATEOGLWINDOW(const char* APPNAME, int32_t APPWIDTH, int32_t APPHEIGHT, int32_t APPBITS,
                     bool APPFULLSCREEN) {
    WIDTH = APPWIDTH;
    HEIGHT = APPHEIGHT;
    BITS = APPBITS;
    FULLSCREEN = APPFULLSCREEN;
    // The main class is never unregistered, so a second call in one process
    // ends here with the registration message.
    if (!WINDOWREGISTER()) THROWERROR(kRegisterMessage);
    HWINDOW = WINDOWCREATE(APPNAME);
    // The hooks and the status bar come before the window test, so they also
    // run when no window was made (the status bar then fails and is 0).
    if (SHOWMENUBAR && CREATEMENUBAR != nullptr) CREATEMENUBAR();
    if (SHOWSTATUSBAR) HSTATUS = CREATESTATUSBAR(HWINDOW);
    if (HWINDOW == nullptr) THROWERROR(kCreateMessage);
    if (!WINDOWINIT(HWINDOW)) THROWERROR(kInitMessage);
    return true;
}

// The handles are left as they are: after this, HWINDOW, DCWINDOW and
// RCWINDOW name released objects, and calls on them fail harmlessly (also
// when the user had already closed the window).
void DELETEOGLWINDOW() {
    wglMakeCurrent(DCWINDOW, nullptr);
    wglDeleteContext(RCWINDOW);
    ReleaseDC(HWINDOW, DCWINDOW);
    DestroyWindow(HWINDOW);
}

} // namespace quorvel
