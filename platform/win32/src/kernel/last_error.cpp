#include <windows.h>

namespace {
// Win32 keeps the last error per thread.
thread_local DWORD g_last_error = 0;
} // namespace

extern "C" DWORD WINAPI GetLastError(void) {
    return g_last_error;
}
extern "C" void WINAPI SetLastError(DWORD code) {
    g_last_error = code;
}
