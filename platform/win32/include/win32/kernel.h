/* Declarations of the kernel group. Included through <windows.h>. */
#ifndef QUORVEL_WIN32_KERNEL_H
#define QUORVEL_WIN32_KERNEL_H

#include <win32/types.h>

QV_EXTERN_C_BEGIN

QV_EXTERN_C_END

#endif
