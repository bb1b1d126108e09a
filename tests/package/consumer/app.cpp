// A C++ application of the framework: reads its globals and version.
#include <windows.h>
#include <quorvel.h>

#include <cstdio>
#include <cstring>

using namespace quorvel;

int main() {
    if (std::strcmp(QUORVELVERSION.c_str(), "1.0") != 0) return 1;
    if (ACTIVE || HWINDOW != nullptr) return 2;
    SETKEY[500] = -1;
    std::printf("framework application: ok (version %s)\n", QUORVELVERSION.c_str());
    return 0;
}
