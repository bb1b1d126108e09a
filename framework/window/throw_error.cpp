// THROWERROR: the one way the framework reports a fatal creation failure.
#include "quorvel/window.h"

#include <cstdlib>

namespace quorvel {

void THROWERROR(const char* PCERRORMESSAGE) {
    MessageBoxA(nullptr, PCERRORMESSAGE, "Error", MB_OK);
    // A normal exit, so that the framework's and the libraries' clean-up
    // runs, but with status 1: a program that could not open its window has
    // failed and must not report success to whoever started it.
    std::exit(1);
}

} // namespace quorvel
