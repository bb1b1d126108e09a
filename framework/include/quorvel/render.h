// Quorvel's render operations, globals and constants. Included by <quorvel.h>.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>
#include <GL/gl.h>

#include "quorvel/checked.h"

namespace quorvel {

} // namespace quorvel
