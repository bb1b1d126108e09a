// The framework's window, settings, hook, status-bar and input globals.
// Everything starts zero, false or null; only the version text is set.
#include "quorvel/window.h"

namespace quorvel {

HWND HWINDOW = nullptr;
HDC DCWINDOW = nullptr;
HGLRC RCWINDOW = nullptr;
MSG MSG_{};
int32_t WIDTH = 0;
int32_t HEIGHT = 0;
int32_t BITS = 0;
bool FULLSCREEN = false;
bool ACTIVE = false;
int32_t PIXEL_FORMAT_FLAGS = 0;
int32_t SETTYPECURSOR = 0;
int32_t SETTYPEICON = 0;
const char* CURSORFILE = nullptr;
const char* ICONFILE = nullptr;
WNDCLASSEXA WINDOWCLASSEX{};
std::string QUORVELVERSION = "1.0";

bool SHOWMENUBAR = false;
void (*CREATEMENUBAR)() = nullptr;
void (*CREATEMOUSEMENU)() = nullptr;
WNDPROC GETINPUTCOMMAND = nullptr;

bool SHOWSTATUSBAR = false;
HWND HSTATUS = nullptr;
HWND AWND = nullptr;
Array<char, 0, 260> FILENAME{};
Array<int32_t, 1, 20> STATUSITEM{};
Array<int32_t, 1, 20> EDGES{};
int32_t MAXSTATUSITEM = 0;

Array<int32_t, 0, 500> SETKEY{};
int32_t SETMX = 0, SETMY = 0;
int32_t SETOMX = 0, SETOMY = 0;
bool LEFTMOUSEDOWN = false, RIGHTMOUSEDOWN = false;
bool LEFTMOUSEDOWN2 = false, RIGHTMOUSEDOWN2 = false;
int32_t XCOORD = 0, YCOORD = 0;
int32_t ZCOORD = 0;
float XROT = 0, YROT = 0;
float XROT2 = 0, YROT2 = 0;
float DEPTH = 0, DEPTH2 = 0;
bool MOUSEFREE = false;
POINT MPOS{};
int32_t MSPEED = 0;
uint32_t START = 0;

bool FOGONOFF = false;
GLuint OBJNULL = 0;

std::string BMPTYPE;

} // namespace quorvel
