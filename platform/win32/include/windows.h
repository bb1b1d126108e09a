/* <windows.h> of the portable Win32 subset: Win32's names, types, constants
   and behaviour for the part of the API that Quorvel and its applications
   use. Include it exactly as on Windows. */
#ifndef QUORVEL_WINDOWS_H
#define QUORVEL_WINDOWS_H

#include <win32/types.h>
#include <win32/kernel.h>
#include <win32/memory.h>
#include <win32/user.h>
#include <win32/gdi.h>
#include <win32/wgl.h>

#endif
