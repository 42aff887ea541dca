// Buttons: the "Button" class of dialog templates and its C++ object.
//
// The class's own behaviour (what DefaultProcessing of a ButtonControl
// reaches): a left press captures the pointer, sets the pushed state and
// takes the focus; while captured, moving out and back in toggles the pushed
// state; a release over the pushed button releases the capture, clears the
// pushed state and clicks; a release outside only releases. A double click
// is a press. Space down pushes, space up clicks. A click toggles an auto
// check box, checks an auto radio button (and unchecks the other radio
// buttons of its group), then sends kMsgCommand (id, kButtonClicked) to the
// parent. kMsgButtonSetCheck/GetCheck/SetState/GetState/Click as there.
//
// Painting: an owner-draw button sends kMsgDrawItem to its parent (reflected
// to the object's DrawItem); the others draw a bevelled box with centred text
// (check boxes and radio buttons a mark and their text beside it).
//
// Thread rules: the window's thread.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/window/WindowBase.h"

namespace platform {

inline constexpr std::u16string_view kButtonClassName = u"Button";

class ButtonControl : public WindowBase {
  public:
    ButtonControl() = default;

    // A child button; style holds the kButton* type and window styles.
    bool Create(std::u16string_view text, std::uint32_t style, const gfx::Rect& rect,
                WindowHandle parent, int id);

    int GetCheck() const;
    void SetCheck(int check);
    std::uint32_t GetState() const;  // kButtonStatePushed | kButtonStateFocus | check
    void SetState(bool pushed);
    std::uint32_t ButtonType() const { return Style() & kButtonTypeMask; }
};

// The next (or previous) control of control's group among the children of
// dialog: a group starts at a control with kStyleGroup; the walk wraps within
// the group and skips hidden and disabled controls. Returns control itself
// when no other qualifies, 0 for a window that is no child of dialog.
WindowHandle NextGroupItem(WindowHandle dialog, WindowHandle control, bool previous = false);
// Children of a window in dialog order (the order they were created in).
std::vector<WindowHandle> ChildrenInDialogOrder(WindowHandle parent);

}  // namespace platform
