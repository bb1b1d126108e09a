/* Declarations of global memory (GlobalAlloc and companions). Included
   through <windows.h>. */
#ifndef QUORVEL_WIN32_MEMORY_H
#define QUORVEL_WIN32_MEMORY_H

#include <win32/types.h>

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_NOT_BANKED 0x1000
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GMEM_DISCARDED 0x4000
#define GMEM_INVALID_HANDLE 0x8000
#define GMEM_LOCKCOUNT 0x00FF
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

#ifndef ERROR_NOT_LOCKED
#define ERROR_NOT_LOCKED 158L
#endif

QV_EXTERN_C_BEGIN

/* A fixed block's handle is its own address; a moveable block's handle
   stays the same while its memory moves, and GlobalLock gives its address. */
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
LPVOID WINAPI GlobalLock(HGLOBAL hMem);
BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
SIZE_T WINAPI GlobalSize(HGLOBAL hMem);
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
HGLOBAL WINAPI GlobalHandle(LPCVOID pMem);
UINT WINAPI GlobalFlags(HGLOBAL hMem);

QV_EXTERN_C_END

#endif
