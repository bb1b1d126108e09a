/* Declarations of the user group. Included through <windows.h>. */
#ifndef QUORVEL_WIN32_USER_H
#define QUORVEL_WIN32_USER_H

#include <win32/types.h>

QV_EXTERN_C_BEGIN

QV_EXTERN_C_END

#endif
