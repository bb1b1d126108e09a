/* Declarations of global memory (GlobalAlloc and companions). Included
   through <windows.h>. */
#ifndef QUORVEL_WIN32_MEMORY_H
#define QUORVEL_WIN32_MEMORY_H

#include <win32/types.h>

QV_EXTERN_C_BEGIN

QV_EXTERN_C_END

#endif
