// The message queue's costs under the offscreen host: an empty peek (what a
// frame loop pays every frame), one post and get, and draining a full queue.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(h, m, wp, lp);
}

HWND Window() {
    static HWND h = [] {
        setenv("QUORVEL_VIDEO", "offscreen", 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "BenchQueue";
        RegisterClassA(&wc);
        HWND w = CreateWindowExA(0, "BenchQueue", "bench", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                                 320, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (m.message == WM_PAINT) ValidateRect(m.hwnd, nullptr);
        return w;
    }();
    return h;
}

void BM_PeekEmptyQueue(benchmark::State& state) {
    Window();
    MSG m;
    for (auto _ : state)
        benchmark::DoNotOptimize(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}
BENCHMARK(BM_PeekEmptyQueue);

void BM_PostThenGet(benchmark::State& state) {
    HWND w = Window();
    MSG m;
    for (auto _ : state) {
        PostMessageA(w, WM_USER, 1, 2);
        benchmark::DoNotOptimize(GetMessageA(&m, nullptr, 0, 0));
    }
}
BENCHMARK(BM_PostThenGet);

// Posting and draining n messages; the figure per message should not grow
// with n.
void BM_DrainPosted(benchmark::State& state) {
    HWND w = Window();
    const int n = int(state.range(0));
    MSG m;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < n; ++i)
            PostMessageA(w, WM_USER, WPARAM(i), 0);
        state.ResumeTiming();
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DrainPosted)->Arg(100)->Arg(1000)->Arg(10000);

} // namespace

BENCHMARK_MAIN();
