// Static text: the "Static" class of dialog templates and its C++ object.
//
// Painting: the window's font is selected, the parent is asked with
// kMsgCtlColorStatic (it may change the text colour, background mode and
// font, and answers the background brush: 0 gives the button face, a hollow
// brush leaves the parent's picture under the text), then the text is drawn
// word-wrapped and left-aligned ('&' marks a mnemonic). The background erase
// is part of the paint. Without kStaticNotify a static is transparent to the
// pointer (kHitTransparent); with it, clicks reach it and it sends
// kMsgCommand (id, kStaticClicked) to its parent.
//
// Thread rules: the window's thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window/WindowBase.h"

namespace platform {

inline constexpr std::u16string_view kStaticClassName = u"Static";
constexpr std::uint16_t kStaticClicked = 0;  // STN_CLICKED

class StaticControl : public WindowBase {
  public:
    StaticControl() = default;
    bool Create(std::u16string_view text, std::uint32_t style, const gfx::Rect& rect,
                WindowHandle parent, int id);
};

}  // namespace platform
