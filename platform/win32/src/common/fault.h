// Forced failures for tests: a platform call asks ShouldFail("Name") on
// entry and, when told to, fails exactly as Win32 would.
#pragma once

namespace qv {

// True when the test seam asked the named call to fail now; counts down.
bool ShouldFail(const char* function);

} // namespace qv
