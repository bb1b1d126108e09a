// The demo program's two pieces of control: the entry with its frame loop
// (main.cpp) and the scene (scene.cpp).
#pragma once

// Runs the whole program: the question, the window, the frame loop and the
// teardown. Returns the process exit status.
int RunIsometricDemo();

// The scene's two steps: its start-up, once, right after the window and its
// rendering context exist; and its frame, once per frame between the message
// pump and the buffer swap.
void StartScene();
void DrawSceneFrame();
