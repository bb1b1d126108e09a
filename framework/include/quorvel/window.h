// Quorvel's window operations, globals and constants. Included by <quorvel.h>.
//
// The framework has one window, one rendering context and one keyboard and
// mouse state, all kept in the plain globals below; the application and the
// framework read and write them by name. There is no window object.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>
#include <GL/gl.h>

#include "quorvel/checked.h"

namespace quorvel {

// ---- window, context and message ------------------------------------------

extern HWND HWINDOW;   // the framework window
extern HDC DCWINDOW;   // its device context
extern HGLRC RCWINDOW; // its OpenGL rendering context
extern MSG MSG_;       // the message being pumped
extern int32_t WIDTH;  // window width in pixels (outer size)
extern int32_t HEIGHT; // window height in pixels (outer size)
extern int32_t BITS;   // requested bits per pixel, 0..255
extern bool FULLSCREEN;
extern bool ACTIVE;                // the window is alive; the frame loop runs while true
extern int32_t PIXEL_FORMAT_FLAGS; // OR-ed into the framework's own flags
extern int32_t SETTYPECURSOR;
extern int32_t SETTYPEICON;
extern const char* CURSORFILE;     // held by reference, read at registration
extern const char* ICONFILE;       // held by reference, read at registration
extern WNDCLASSEXA WINDOWCLASSEX;  // the image-button class description
extern std::string QUORVELVERSION; // "1.0"

// ---- menu and command hooks -------------------------------------------------

extern bool SHOWMENUBAR; // enables the three hooks
extern void (*CREATEMENUBAR)();
extern void (*CREATEMOUSEMENU)();
extern WNDPROC GETINPUTCOMMAND; // receives every command message

// ---- status bar -----------------------------------------------------------------

extern bool SHOWSTATUSBAR;
extern HWND HSTATUS; // as stored by CREATEOGLWINDOW
extern HWND AWND;    // as kept by CREATESTATUSBAR
extern Array<char, 0, 260> FILENAME;
extern Array<int32_t, 1, 20> STATUSITEM;
extern Array<int32_t, 1, 20> EDGES;
extern int32_t MAXSTATUSITEM;

// ---- input ------------------------------------------------------------------------

// One truth value per virtual-key code: -1 while the key is down.
extern Array<int32_t, 0, 500> SETKEY;
extern int32_t SETMX, SETMY;   // last left press; 0 after release
extern int32_t SETOMX, SETOMY; // last mouse move
extern bool LEFTMOUSEDOWN, RIGHTMOUSEDOWN;
extern bool LEFTMOUSEDOWN2, RIGHTMOUSEDOWN2;
extern int32_t XCOORD, YCOORD; // reference point of a left drag
extern int32_t ZCOORD;         // vertical reference of a right drag
extern float XROT, YROT;
extern float XROT2, YROT2;
extern float DEPTH, DEPTH2;
extern bool MOUSEFREE; // mouse-look mode
extern POINT MPOS;     // cursor position sampled in mouse look
extern int32_t MSPEED; // factor of every drag and mouse-look change
extern uint32_t START; // tick count taken when mouse look is on

// ---- other settings ------------------------------------------------------------------

extern bool FOGONOFF;
extern GLuint OBJNULL; // an empty display list, 0 without a context

// ---- cursor kinds (SETTYPECURSOR) ----------------------------------------------------

inline constexpr int32_t ARROW = 1;
inline constexpr int32_t IBEAM = 2;
inline constexpr int32_t WAIT = 3;
inline constexpr int32_t CROSS = 4;
inline constexpr int32_t UPARROW = 5;
inline constexpr int32_t SIZE = 6;
inline constexpr int32_t FILECURSOR = 7;
inline constexpr int32_t SIZENWSE = 8;
inline constexpr int32_t SIZENESW = 9;
inline constexpr int32_t SIZEWE = 10;
inline constexpr int32_t SIZENS = 11;
inline constexpr int32_t SIZEALL = 12;
inline constexpr int32_t NOCURSOR = 13;
inline constexpr int32_t HAND = 14;
inline constexpr int32_t APPSTARTING = 15;
inline constexpr int32_t HELP = 16;

// ---- icon kinds (SETTYPEICON) --------------------------------------------------------

inline constexpr int32_t GENERIC = 1;
inline constexpr int32_t FILEICON = 2;

// A flag set an application may place in PIXEL_FORMAT_FLAGS: double buffer,
// stereo, draw to window, OpenGL and direct-draw support.
inline constexpr int32_t QUORVEL_ACCELERATION = 8231; // 0x2027

// ---- image buttons ----------------------------------------------------------------------

inline constexpr const char* SZHOVERCLASS = "IMAGEBUTTON";
inline constexpr const char* NORMALBMP = "NORMALBITMAP";
inline constexpr const char* HOVERBMP = "HOVERBITMAP";
inline constexpr const char* PRESSBMP = "PRESSBITMAP";
inline constexpr const char* HOVERMODE = "HOVERMODEBYTE";
inline constexpr const char* BUTTONRGN = "HOVERBUTTONREGION";
extern std::string BMPTYPE; // stem of the three picture file names

// ---- operations ---------------------------------------------------------------------------

// Chooses the class cursor and icon; call before CREATEOGLWINDOW.
void OGLWINDOWSETTING(int32_t TYPECURSOR, const char* CURFILE, int32_t TYPEICON,
                      const char* ICOFILE);

// Opens the framework window with a current rendering context. Returns true;
// every failure shows its message and ends the program instead.
bool CREATEOGLWINDOW(const char* APPNAME, int32_t APPWIDTH, int32_t APPHEIGHT, int32_t APPBITS,
                     bool APPFULLSCREEN);
// Releases the rendering context and the device context, destroys the window.
void DELETEOGLWINDOW();

// Registers "GLWindow" and "IMAGEBUTTON"; true when "GLWindow" was registered.
bool WINDOWREGISTER();
// Creates the window, captioned or full screen; NULL on failure.
HWND WINDOWCREATE(const char* PCAPPLICATIONNAME);
// Pixel format and rendering context; true when both were had.
bool WINDOWINIT(HWND HPARENT);
// Shows the message in an "Error" box and ends the program with status 1.
[[noreturn]] void THROWERROR(const char* PCERRORMESSAGE);

// The window procedure of "GLWindow".
LRESULT CALLBACK GLWNDPROC(HWND WINDOW, UINT AMESSAGE, WPARAM WPARAM_, LPARAM LPARAM_);
// Takes at most one pending message and dispatches it; never waits.
void SETGLMSG();

// The status bar along the bottom of PARENT; NULL when none was made.
HWND CREATESTATUSBAR(HWND PARENT);

// The window procedure of "IMAGEBUTTON".
LRESULT CALLBACK HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_);

} // namespace quorvel
