#include "demo.h"

#include <quorvel.h>

void StartScene() {}
void DrawSceneFrame() {}
