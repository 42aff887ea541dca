#include "platform/display/sdl/SdlInput.h"

#include "platform/window/MessageIds.h"

namespace platform::display::sdl {

std::optional<std::uint32_t> VirtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    }
    switch (key) {
        case SDLK_BACKSPACE:
            return kKeyBack;
        case SDLK_TAB:
            return kKeyTab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return kKeyReturn;
        case SDLK_ESCAPE:
            return kKeyEscape;
        case SDLK_SPACE:
            return kKeySpace;
        case SDLK_LEFT:
            return kKeyLeft;
        case SDLK_UP:
            return kKeyUp;
        case SDLK_RIGHT:
            return kKeyRight;
        case SDLK_DOWN:
            return kKeyDown;
        default:
            return std::nullopt;
    }
}

std::uint32_t ControlCharacterOf(std::uint32_t virtual_key) {
    switch (virtual_key) {
        case kKeyBack:
        case kKeyTab:
        case kKeyReturn:
        case kKeyEscape:
            return virtual_key;
        default:
            return 0;
    }
}

}  // namespace platform::display::sdl
