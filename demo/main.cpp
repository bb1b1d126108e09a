#include "demo.h"

#include <quorvel.h>

int RunIsometricDemo() { return 0; }
