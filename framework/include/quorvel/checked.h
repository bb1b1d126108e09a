// Checked arrays, narrowing and integer arithmetic: the run-time tests that
// the framework's declared ranges rely on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "quorvel/run_time_error.h"

namespace quorvel {

// array[Lo..Hi] of T: contiguous, every index checked against its range.
template <typename T, int32_t Lo, int32_t Hi> struct Array {
    static_assert(Lo <= Hi, "empty range");
    static constexpr int32_t Low = Lo;
    static constexpr int32_t High = Hi;
    static constexpr size_t Count = size_t(int64_t(Hi) - Lo + 1);

    T items[Count];

    constexpr T& operator[](int64_t index) { return items[Offset(index)]; }
    constexpr const T& operator[](int64_t index) const { return items[Offset(index)]; }

    constexpr T* data() { return items; }
    constexpr const T* data() const { return items; }
    static constexpr size_t size() { return Count; }
    constexpr T* begin() { return items; }
    constexpr T* end() { return items + Count; }
    constexpr const T* begin() const { return items; }
    constexpr const T* end() const { return items + Count; }

  private:
    static constexpr size_t Offset(int64_t index) {
        if (index < Lo || index > Hi) RaiseRunTimeError(RunTimeError::RangeCheck);
        return size_t(index - Lo);
    }
};

// A value stored into a narrower field: out of range is a range check error.
template <typename To, typename From> constexpr To CheckedNarrow(From value) {
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    if (!std::in_range<To>(value)) RaiseRunTimeError(RunTimeError::RangeCheck);
    return static_cast<To>(value);
}

// A value checked against an explicit range [lo, hi].
template <typename T> constexpr T CheckedRange(T value, T lo, T hi) {
    if (value < lo || value > hi) RaiseRunTimeError(RunTimeError::RangeCheck);
    return value;
}

template <typename T> constexpr T CheckedAdd(T a, T b) {
    T r;
    if (__builtin_add_overflow(a, b, &r)) RaiseRunTimeError(RunTimeError::ArithmeticOverflow);
    return r;
}
template <typename T> constexpr T CheckedSub(T a, T b) {
    T r;
    if (__builtin_sub_overflow(a, b, &r)) RaiseRunTimeError(RunTimeError::ArithmeticOverflow);
    return r;
}
template <typename T> constexpr T CheckedMul(T a, T b) {
    T r;
    if (__builtin_mul_overflow(a, b, &r)) RaiseRunTimeError(RunTimeError::ArithmeticOverflow);
    return r;
}

} // namespace quorvel
