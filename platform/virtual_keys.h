// Keys as the scripts see them: Windows virtual-key codes (below 256). One table maps the
// SDL key codes of the window front end and the key names of the headless runner's input
// scripts to them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

// The virtual-key code of an SDL key code (SDL_Keycode), or 0 for a key the player ignores.
int VirtualKeyFromSdlKey(int32_t sdl_keycode);

// The virtual-key code of a key name ("A", "5", "F11", "Return", "Left", "Numpad3", ...;
// compared without case), or 0 when the name is unknown.
int VirtualKeyFromName(std::string_view name);

// Every key name the table knows, in table order (for --help).
std::vector<std::string> VirtualKeyNames();

}  // namespace mobu
