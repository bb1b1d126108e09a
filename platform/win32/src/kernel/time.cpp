#include <windows.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "host/host.h"

extern "C" DWORD WINAPI GetTickCount(void) {
    return qv::host::TickCount();
}

extern "C" ULONGLONG WINAPI GetTickCount64(void) {
    // The host's 32-bit count wraps after 49 days; count the wraps.
    static uint32_t last = 0;
    static uint64_t high = 0;
    uint32_t now = qv::host::TickCount();
    if (now < last) high += uint64_t(1) << 32;
    last = now;
    return high + now;
}

extern "C" void WINAPI Sleep(DWORD ms) {
    if (ms == INFINITE) {
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(24));
    }
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

extern "C" DWORD WINAPI GetCurrentThreadId(void) {
    return DWORD(syscall(SYS_gettid));
}
extern "C" DWORD WINAPI GetCurrentProcessId(void) {
    return DWORD(getpid());
}
