/* Declarations of the gdi group. Included through <windows.h>. */
#ifndef QUORVEL_WIN32_GDI_H
#define QUORVEL_WIN32_GDI_H

#include <win32/types.h>

QV_EXTERN_C_BEGIN

QV_EXTERN_C_END

#endif
