/* Declarations of the comctl group. Included through <windows.h>. */
#ifndef QUORVEL_WIN32_COMCTL_H
#define QUORVEL_WIN32_COMCTL_H

#include <win32/types.h>

QV_EXTERN_C_BEGIN

QV_EXTERN_C_END

#endif
