// Frame timing shared by the two programs the frame benchmark runs: the
// time from process start to the first presented frame, and the interval
// between consecutive presented frames.
#pragma once

#include <chrono>
#include <cstdio>
#include <vector>

namespace frame_clock {

using Clock = std::chrono::steady_clock;

inline Clock::time_point& StartTime() {
    static Clock::time_point start;
    return start;
}
inline void Start() {
    StartTime() = Clock::now();
}

inline double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class Recorder {
  public:
    // Reserved up front, so that recording a frame never allocates.
    explicit Recorder(int frames) { stamps_.reserve(static_cast<size_t>(frames)); }
    void Presented() {
        if (stamps_.size() < stamps_.capacity()) stamps_.push_back(Clock::now());
    }
    int Count() const { return static_cast<int>(stamps_.size()); }
    // "first_frame_ms T" and "frame_ms t1 t2 ...", one line each.
    void Print(std::FILE* out) const {
        if (stamps_.empty()) return;
        std::fprintf(out, "first_frame_ms %.3f\nframe_ms", Milliseconds(stamps_[0] - StartTime()));
        for (size_t i = 1; i < stamps_.size(); ++i)
            std::fprintf(out, " %.3f", Milliseconds(stamps_[i] - stamps_[i - 1]));
        std::fprintf(out, "\n");
    }

  private:
    std::vector<Clock::time_point> stamps_;
};

} // namespace frame_clock
