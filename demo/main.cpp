// The program's entry: the full-screen question, the window, the scene's
// start-up, the frame loop and the teardown. It keeps no state of its own:
// everything it exchanges with the framework lives in framework globals.
#include "demo.h"

#include <quorvel.h>

using namespace quorvel;

int RunIsometricDemo() {
    // Only an explicit No keeps the captioned window; Yes, and a box that
    // could not be shown, select full screen.
    const int answer =
        MessageBoxA(nullptr, "Settare lo schermo intero?  ", "Video!", MB_YESNO | MB_ICONQUESTION);
    FULLSCREEN = answer != IDNO;

    OGLWINDOWSETTING(ARROW, "", GENERIC, "");
    // Never comes back on failure: it shows its message and ends the program.
    CREATEOGLWINDOW("Esempio di vista isometrica", 800, 600, 32, FULLSCREEN);
    StartScene();

    // The test follows the body: the frame in which the window is destroyed
    // is still drawn and swapped before the loop ends. No timer, no sleep.
    do {
        glClear(GL_COLOR_BUFFER_BIT);
        SETGLMSG();
        DrawSceneFrame();
        SwapBuffers(DCWINDOW);
    } while (ACTIVE);

    DELETEOGLWINDOW();
    return 0;
}
