#include "demo.h"

int main() { return RunIsometricDemo(); }
