// The message box's test responder, set through the test seam.
#pragma once

#include <win32/testing.h>

namespace qv::user {
void SetMessageBoxResponder(testing::MessageBoxResponder responder);
}
