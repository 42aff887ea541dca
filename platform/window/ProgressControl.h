// Progress bars: the "msctls_progress32" class and its C++ object.
//
// Range 0..100 and position 0 at first. kMsgProgressSetRange takes the lower
// and upper end as the 16-bit halves of lParam (unsigned, as there) and
// returns the previous range packed the same way; kMsgProgressSetRange32
// takes them whole in wParam and lParam. A range whose upper end lies below
// its lower end is stored in order. kMsgProgressSetPos clamps into the range,
// repaints when the position changed and returns the previous position.
// Painting: a sunken box with the filled part in the highlight colour,
// continuous with kProgressSmooth, in blocks without it.
//
// Thread rules: the window's thread (messages may be sent from any thread).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/window/WindowBase.h"

namespace platform {

inline constexpr std::u16string_view kProgressClassName = u"msctls_progress32";
// wParam non-zero: returns the lower end, else the upper end.
constexpr std::uint32_t kMsgProgressGetRange = 0x0407;

class ProgressControl : public WindowBase {
  public:
    ProgressControl() = default;
    bool Create(std::uint32_t style, const gfx::Rect& rect, WindowHandle parent, int id);

    void SetRange(int lower, int upper);  // 32-bit
    int Lower() const;
    int Upper() const;
    int SetPos(int pos);  // returns the previous position
    int GetPos() const;
};

}  // namespace platform
