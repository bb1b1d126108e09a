// SDL keys to Win32 virtual-key codes and PC set-1 scan codes, and back
// (for input pushed in by the test seam).
#pragma once

#include <SDL2/SDL.h>

namespace qv::host::keys {

// The Win32 virtual-key code of a key: by the character it types for
// letters, digits and punctuation (so it follows the keyboard layout, as
// Win32's does), by its position otherwise. The generic VK_SHIFT,
// VK_CONTROL and VK_MENU for either side, as WM_KEYDOWN carries them; 0 for
// a key Win32 has no code for.
int VirtualKey(SDL_Scancode scancode, SDL_Keycode keycode);
// The set-1 make code; bit 8 set for the extended (E0-prefixed) keys.
int ScanCode(SDL_Scancode scancode);
// The key a virtual-key code stands for on a US keyboard. VK_SHIFT,
// VK_CONTROL and VK_MENU give the left key, VK_LSHIFT... the sided ones.
// False for a code no key produces.
bool KeyOfVirtualKey(int vk, SDL_Scancode& scancode, SDL_Keycode& keycode);

} // namespace qv::host::keys
