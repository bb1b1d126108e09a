// The framework's run-time errors. A failed range, overflow or read check
// prints its message on standard error and ends the process with a non-zero
// status; nothing catches it.
#pragma once

namespace quorvel {

enum class RunTimeError {
    RangeCheck,         // "Range check error"
    ArithmeticOverflow, // "Arithmetic overflow"
    ReadPastEndOfFile,  // "Read past end of file"
};

[[noreturn]] void RaiseRunTimeError(RunTimeError error);
const char* RunTimeErrorMessage(RunTimeError error);
int RunTimeErrorExitStatus(RunTimeError error);

} // namespace quorvel
