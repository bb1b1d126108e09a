// The whole-program frame benchmark: the demo's own loop, headless at 800
// by 600, against the plain OpenGL program that issues the same frame
// without the framework. Each run is its own process (the framework keeps
// one window per process, as a program does); runs of the two alternate so
// that drift in the machine's speed falls on both alike.
//
//   quorvel-frame-bench [--frames N] [--rounds R] [--dir DIR]
//
// Reports the median milliseconds per frame of each, their ratio, and the
// median time from process start to the first presented frame. The first
// two frames of every run are left out of the frame figures as warm-up.
#include "demo.h"
#include "frame_clock.h"

#include <windows.h>
#include <win32/testing.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <new>
#include <vector>

extern char** environ;

// Every C++ allocation of the process is counted, so that the report can
// show what the framework allocates while the demo's frames run.
namespace {
std::atomic<long> gAllocations{0};
}
void* operator new(size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

// The demo itself, measured from its present hook; Escape goes in after
// the frame before the last, so the loop ends after `frames` frames.
int RunDemoChild(int frames) {
    frame_clock::Start();
    qv::testing::SetMessageBoxResponder(
        [](HWND, const std::string&, const std::string&, UINT type) {
            return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        });
    // Allocations are counted from the end of the second frame to the end
    // of the frame that takes Escape: steady frames, no start-up.
    struct Child {
        frame_clock::Recorder recorder;
        int escape_after;
        long at_second = 0, at_escape = 0;
    } child{frame_clock::Recorder(frames + 8), std::max(frames - 1, 1)};
    qv::testing::SetPresentHook([state = &child](HWND window) {
        state->recorder.Presented();
        if (state->recorder.Count() == 2) state->at_second = gAllocations.load();
        if (state->recorder.Count() == state->escape_after) {
            state->at_escape = gAllocations.load();
            qv::testing::InjectKey(window, VK_ESCAPE, true);
        }
    });
    int status = RunIsometricDemo();
    qv::testing::SetPresentHook({});
    child.recorder.Print(stdout);
    std::printf("frame_allocations %ld %d\n", child.at_escape - child.at_second,
                std::max(frames - 3, 0));
    return status;
}

struct Run {
    bool ok = false;
    long allocations = -1; // C++ allocations over `allocation_frames` steady frames
    int allocation_frames = 0;
    double first_frame_ms = 0;
    std::vector<double> frame_ms;
};

Run Spawn(const std::vector<std::string>& args) {
    Run run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(fds[0]);
    if (spawned != 0) return run;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return run;

    std::istringstream in(text);
    std::string word;
    bool first = false;
    while (in >> word) {
        if (word == "first_frame_ms") {
            first = bool(in >> run.first_frame_ms);
        } else if (word == "frame_allocations") {
            in >> run.allocations >> run.allocation_frames;
        } else if (word == "frame_ms") {
            std::string line;
            std::getline(in, line);
            std::istringstream values(line);
            for (double v; values >> v;)
                run.frame_ms.push_back(v);
        }
    }
    run.ok = first && !run.frame_ms.empty();
    return run;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string SelfDirectory() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = 0;
    std::string p(path);
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

struct Series {
    std::vector<double> frames, first;
    int failed = 0;
    long allocations = 0;
    int allocation_frames = 0;
    void Add(const Run& run) {
        if (!run.ok) {
            ++failed;
            return;
        }
        if (run.allocations >= 0) {
            allocations += run.allocations;
            allocation_frames += run.allocation_frames;
        }
        // Warm-up: the first frames pay for first use of textures and code.
        size_t skip = std::min<size_t>(2, run.frame_ms.size() - 1);
        frames.insert(frames.end(), run.frame_ms.begin() + long(skip), run.frame_ms.end());
        first.push_back(run.first_frame_ms);
    }
};

} // namespace

int main(int argc, char** argv) {
    int frames = 40, rounds = 3;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        auto value = [&](int& out) {
            if (i + 1 >= argc) return false;
            out = std::atoi(argv[++i]);
            return true;
        };
        bool ok = false;
        if (std::strcmp(argv[i], "--child-demo") == 0 && value(frames)) {
            setenv("QUORVEL_VIDEO", "offscreen", 1);
            return RunDemoChild(std::max(frames, 1));
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            ok = value(frames) && frames >= 4;
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            ok = value(rounds) && rounds >= 1;
        } else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            dir = argv[++i];
            ok = true;
        }
        if (!ok) {
            std::fprintf(stderr, "usage: quorvel-frame-bench [--frames N (>= 4)] [--rounds R] "
                                 "[--dir DIR]\n");
            return 2;
        }
    }

    const std::string self_dir = SelfDirectory();
    // The textures are read from the working directory; by default that is
    // where the binaries and the generated textures land.
    if (dir.empty()) dir = self_dir;
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "quorvel-frame-bench: cannot enter '%s'\n", dir.c_str());
        return 1;
    }
    setenv("QUORVEL_VIDEO", "offscreen", 1);

    const std::string count = std::to_string(frames);
    const std::vector<std::string> demo = {self_dir + "/quorvel-frame-bench", "--child-demo",
                                           count};
    const std::vector<std::string> plain = {self_dir + "/quorvel-plain-frame", "--frames", count};
    Series demo_series, plain_series;
    // The machine's speed drifts (other work, thermal state); the ratio of
    // the two runs of one round, taken back to back, is steadier than the
    // ratio of the pooled figures, so both are reported.
    std::vector<double> round_ratios;
    for (int r = 0; r < rounds; ++r) {
        Run a, b;
        if (r % 2 == 0) {
            a = Spawn(demo);
            b = Spawn(plain);
        } else {
            b = Spawn(plain);
            a = Spawn(demo);
        }
        demo_series.Add(a);
        plain_series.Add(b);
        if (a.ok && b.ok && a.frame_ms.size() > 2 && b.frame_ms.size() > 2) {
            double pa = Median({a.frame_ms.begin() + 2, a.frame_ms.end()});
            double pb = Median({b.frame_ms.begin() + 2, b.frame_ms.end()});
            if (pb > 0) round_ratios.push_back(pa / pb);
        }
    }
    if (demo_series.frames.empty() || plain_series.frames.empty()) {
        std::fprintf(stderr, "quorvel-frame-bench: %d demo and %d plain runs failed\n",
                     demo_series.failed, plain_series.failed);
        return 1;
    }

    const double demo_ms = Median(demo_series.frames), plain_ms = Median(plain_series.frames);
    std::printf("frame benchmark, headless, 800x600, %d rounds of %d frames\n", rounds, frames);
    std::printf("  demo (framework)      %8.3f ms/frame   (median of %zu frames)\n", demo_ms,
                demo_series.frames.size());
    std::printf("  plain OpenGL          %8.3f ms/frame   (median of %zu frames)\n", plain_ms,
                plain_series.frames.size());
    std::printf("  ratio demo / plain    %8.4f   (pooled medians)\n",
                plain_ms > 0 ? demo_ms / plain_ms : 0.0);
    if (!round_ratios.empty())
        std::printf("  ratio demo / plain    %8.4f   (median of %zu rounds, range %.4f to %.4f)\n",
                    Median(round_ratios), round_ratios.size(),
                    *std::min_element(round_ratios.begin(), round_ratios.end()),
                    *std::max_element(round_ratios.begin(), round_ratios.end()));
    std::printf("  start to first frame  %8.1f ms demo, %.1f ms plain (medians)\n",
                Median(demo_series.first), Median(plain_series.first));
    if (demo_series.allocation_frames > 0)
        std::printf("  C++ allocations       %8.2f per demo frame (%ld over %d steady frames)\n",
                    double(demo_series.allocations) / demo_series.allocation_frames,
                    demo_series.allocations, demo_series.allocation_frames);
    if (demo_series.failed || plain_series.failed)
        std::printf("  (%d demo and %d plain runs failed and are left out)\n", demo_series.failed,
                    plain_series.failed);
    return 0;
}
