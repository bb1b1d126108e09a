#include "quorvel/run_time_error.h"

#include <cstdio>
#include <cstdlib>

namespace quorvel {

const char* RunTimeErrorMessage(RunTimeError error) {
    switch (error) {
    case RunTimeError::RangeCheck: return "Range check error";
    case RunTimeError::ArithmeticOverflow: return "Arithmetic overflow";
    case RunTimeError::ReadPastEndOfFile: return "Read past end of file";
    }
    return "Run-time error";
}

// Distinct non-zero statuses, so that a script can tell the three apart.
int RunTimeErrorExitStatus(RunTimeError error) {
    switch (error) {
    case RunTimeError::RangeCheck: return 201;
    case RunTimeError::ArithmeticOverflow: return 215;
    case RunTimeError::ReadPastEndOfFile: return 100;
    }
    return 1;
}

void RaiseRunTimeError(RunTimeError error) {
    std::fprintf(stderr, "%s\n", RunTimeErrorMessage(error));
    std::fflush(stderr);
    // _Exit: the error ends the program where it stands, like a trap would;
    // no clean-up runs that might touch the state that failed the check.
    std::_Exit(RunTimeErrorExitStatus(error));
}

} // namespace quorvel
