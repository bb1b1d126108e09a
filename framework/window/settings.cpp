// OGLWINDOWSETTING: the class cursor and icon, chosen before the window
// class is built, and the framework's small start-up settings.
#include "quorvel/window.h"

namespace quorvel {

void OGLWINDOWSETTING(int32_t TYPECURSOR, const char* CURFILE, int32_t TYPEICON,
                      const char* ICOFILE) {
    if (MOUSEFREE) {
        START = GetTickCount();
        SetCursorPos(WIDTH / 2, HEIGHT / 2);
    }
    FOGONOFF = true;
    // By reference: the files are opened only when WINDOWREGISTER runs.
    SETTYPECURSOR = TYPECURSOR;
    CURSORFILE = CURFILE;
    SETTYPEICON = TYPEICON;
    ICONFILE = ICOFILE;
    // Without a current context (the usual case: this runs before the window
    // exists) OpenGL ignores both calls and the name stays 0.
    OBJNULL = glGenLists(1);
    glNewList(OBJNULL, GL_COMPILE);
    glEndList();
}

} // namespace quorvel
