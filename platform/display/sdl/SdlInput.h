// SDL's keyboard as the window layer's virtual keys: the keys the layer names
// (editing, navigation), letters and digits. Backend thread; plain mapping.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>

namespace platform::display::sdl {

// nullopt for a key the layer has no code for.
std::optional<std::uint32_t> VirtualKeyOf(SDL_Keycode key);

// The character a key gives on its own, as the original platform reports
// it for keys that type no text (Return, Escape, Backspace, Tab); 0 for others.
std::uint32_t ControlCharacterOf(std::uint32_t virtual_key);

}  // namespace platform::display::sdl
