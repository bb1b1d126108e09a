// Quorvel: the framework's one public header. An application includes it
// alone; it brings every operation, global and constant of the framework, in
// namespace quorvel, grouped by subsystem in the headers of quorvel/.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "quorvel/checked.h"
#include "quorvel/run_time_error.h"

#include "quorvel/window.h"
#include "quorvel/image.h"
#include "quorvel/render.h"
