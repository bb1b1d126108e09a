/* <commctrl.h> of the portable Win32 subset: the common controls. */
#ifndef QUORVEL_COMMCTRL_H
#define QUORVEL_COMMCTRL_H

#include <windows.h>
#include <win32/comctl.h>

#endif
