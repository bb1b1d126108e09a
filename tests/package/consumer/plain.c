/* A plain C program of the Win32 API: registers a class, creates a window,
   sends it a message and takes it down again. */
#include <windows.h>
#include <stdio.h>

static int created;

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) created = 1;
    if (msg == WM_USER) return (LRESULT)(wp + 1);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int main(void) {
    WNDCLASSA wc = {0};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ConsumerClass";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, "ConsumerClass", "consumer", WS_POPUP, 0, 0, 64, 48, NULL, NULL,
                                wc.hInstance, NULL);
    if (!hwnd || !created) return 2;
    if (SendMessageA(hwnd, WM_USER, 41, 0) != 42) return 3;
    DestroyWindow(hwnd);
    if (IsWindow(hwnd)) return 4;
    printf("plain C program: ok\n");
    return 0;
}
