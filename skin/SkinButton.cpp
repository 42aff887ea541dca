#include "skin/SkinButton.h"

#include <memory>

#include "platform/gfx/Font.h"
#include "platform/resources/Resources.h"
#include "skin/MaskRegion.h"

using platform::MessageLong;
using platform::MessageParam;
using platform::MessageResult;
namespace gfx = platform::gfx;

namespace {

constexpr gfx::Color kDisabledCaptionColor = gfx::Rgb(200, 200, 200);

gfx::Bitmap LoadSkinBitmap(int id) {
    if (id == 0) {
        return gfx::Bitmap{};
    }
    return platform::LoadBitmapResource(id).value_or(gfx::Bitmap{});
}

// Made once: every caption of every button uses the same face and size.
const gfx::Font* CaptionFont() {
    static const std::shared_ptr<const gfx::Font> font =
        gfx::Font::Create(gfx::FontDescription{25, 400, false, false, u"微软雅黑"});
    return font.get();
}

}  // namespace

VELA_MESSAGE_MAP(CxSkinButton, platform::ButtonControl,
                 platform::MapMessage(platform::kMsgEraseBackground, &CxSkinButton::OnEraseBkgnd),
                 platform::MapMessage(platform::kMsgLeftButtonDown, &CxSkinButton::OnLButtonDown),
                 platform::MapMessage(platform::kMsgLeftButtonUp, &CxSkinButton::OnLButtonUp),
                 platform::MapMessage(platform::kMsgMouseMove, &CxSkinButton::OnMouseMove),
                 platform::MapMessage(platform::kMsgLeftButtonDoubleClick,
                                      &CxSkinButton::OnLButtonDblClk),
                 platform::MapMessage(platform::kMsgKillFocus, &CxSkinButton::OnKillFocus),
                 platform::MapMessage(platform::kMsgKeyDown, &CxSkinButton::OnKeyDown),
                 platform::MapMessage(platform::kMsgMouseLeave, &CxSkinButton::OnMouseLeave),
                 platform::MapMessage(WM_SKINBTN_UNCHECK, &CxSkinButton::OnUncheck),
                 platform::MapMessage(platform::kMsgButtonSetCheck, &CxSkinButton::OnSetCheck),
                 platform::MapMessage(platform::kMsgButtonGetCheck, &CxSkinButton::OnGetCheck))

CxSkinButton::CxSkinButton() = default;

CxSkinButton::~CxSkinButton() = default;

void CxSkinButton::PreSubclassWindow() {
    const std::uint32_t style = Style() & 0xFFFF;
    if ((style & 3) == 3) {
        m_nStyle = 2;
    } else if ((style & 9) == 9) {
        m_nStyle = 4;
    } else {
        m_nStyle = 0;
    }
    ButtonControl::PreSubclassWindow();
    // Owner-draw replaces the check and radio kinds, so the class's own
    // auto-check never runs beside the button's.
    ModifyStyle(0, platform::kButtonOwnerDraw);
}

void CxSkinButton::SetSkin(int normal, int down, int over, int disabled, int mask) {
    m_bmpNormal = gfx::Bitmap{};
    m_bmpDown = gfx::Bitmap{};
    m_bmpOver = gfx::Bitmap{};
    m_bmpDisabled = gfx::Bitmap{};
    m_bmpMask = gfx::Bitmap{};

    m_bmpNormal = LoadSkinBitmap(normal);
    m_bmpDown = LoadSkinBitmap(down);
    m_bmpOver = LoadSkinBitmap(over);
    m_bmpDisabled = LoadSkinBitmap(disabled != 0 ? disabled : normal);

    if (mask != 0) {
        m_bmpMask = LoadSkinBitmap(mask);
        m_hRgn.reset();
        m_hRgn = CreateRegionFromMask(m_bmpMask);
        if (m_hRgn && HasWindow()) {
            SetRegion(*m_hRgn, true);
        }
    }
}

bool CxSkinButton::IsPushed() const {
    return (GetState() & platform::kButtonStatePushed) != 0;
}

bool CxSkinButton::PointOver(MessageLong lParam) const {
    return ClientRect().Contains(
        platform::Point{platform::PointX(lParam), platform::PointY(lParam)});
}

void CxSkinButton::ToggleFromUser() {
    if (m_nStyle == 2) {
        Send(platform::kMsgButtonSetCheck, m_bChecked ? 0 : 1);
    } else if (m_nStyle == 4) {
        Send(platform::kMsgButtonSetCheck, 1);
    }
}

void CxSkinButton::DrawItem(const platform::DrawItemInfo& info) {
    if (m_bButtonDown && platform::GetMouseCapture() == Handle()) {
        const platform::WindowHandle under =
            platform::WindowAtScreenPoint(platform::GetCursorScreenPosition());
        const bool pushed = IsPushed();
        // Changing the pushed state repaints the button; this pass draws nothing.
        if (under == Handle() && !pushed) {
            SetState(true);
            return;
        }
        if (under != Handle() && pushed) {
            SetState(false);
            return;
        }
    }

    gfx::DeviceContext& dc = *info.dc;
    dc.SetBackgroundMode(gfx::BackgroundMode::kTransparent);

    const bool disabled = (info.state & platform::kDrawItemDisabled) != 0;
    const gfx::Bitmap* picture = &m_bmpNormal;
    if (disabled) {
        picture = &m_bmpDisabled;
    } else if ((info.state & platform::kDrawItemSelected) != 0 || m_bChecked) {
        picture = &m_bmpDown;
    } else if (m_bMouseIn && !m_bmpOver.IsEmpty()) {
        picture = &m_bmpOver;
    }
    if (picture->IsEmpty()) {
        dc.FillRect(info.item_rect, gfx::kButtonFaceColor);
    } else {
        DrawSkinBitmap(dc, *picture, info.item_rect);
    }

    DrawCaption(dc, m_strText1, disabled ? kDisabledCaptionColor : m_clrText1, m_nText1Left,
                m_nText1Top);
    DrawCaption(dc, m_strText2, m_clrText2, m_nText2Left, m_nText2Top);
}

void CxSkinButton::DrawSkinBitmap(gfx::DeviceContext& dc, const gfx::Bitmap& bitmap,
                                  const gfx::Rect& rect) {
    const int width = rect.Width();
    const int height = rect.Height();
    if (m_bmpMask.IsEmpty()) {
        dc.StretchBlt(rect, bitmap, bitmap.Bounds(), gfx::RasterOp::kCopy);
        return;
    }
    if (width <= 0 || height <= 0) {
        return;
    }
    // Composed off-screen from what lies under the button, so the screen
    // gets one copy and never shows the intermediate XOR picture.
    gfx::Bitmap scratch(width, height);
    gfx::DeviceContext off(scratch);
    off.BitBlt(0, 0, width, height, dc, rect.left, rect.top, gfx::RasterOp::kCopy);
    const gfx::Rect whole{0, 0, width, height};
    off.StretchBlt(whole, bitmap, bitmap.Bounds(), gfx::RasterOp::kXor);
    off.StretchBlt(whole, m_bmpMask, m_bmpMask.Bounds(), gfx::RasterOp::kAnd);
    off.StretchBlt(whole, bitmap, bitmap.Bounds(), gfx::RasterOp::kXor);
    dc.BitBlt(rect.left, rect.top, width, height, scratch, 0, 0, gfx::RasterOp::kCopy);
}

void CxSkinButton::DrawCaption(gfx::DeviceContext& dc, const std::u16string& text, gfx::Color color,
                               int left, int top) {
    if (text.empty()) {
        return;  // nothing to draw; spares making the caption font
    }
    const int width = ClientRect().Width() & ~1;
    // Both bands take the first line's height, in the font selected before.
    const int line_height = dc.GetTextExtent(m_strText1).height;
    gfx::Rect band{left, top, width - left, top + line_height + 5};
    dc.SetTextColor(color);
    const gfx::Font* previous = dc.SelectFont(CaptionFont());
    dc.DrawText(
        text, band,
        gfx::text_flags::kSingleLine | gfx::text_flags::kCenter | gfx::text_flags::kVCenter);
    dc.SelectFont(previous);
}

MessageResult CxSkinButton::OnEraseBkgnd(MessageParam, MessageLong) {
    return 1;
}

MessageResult CxSkinButton::OnLButtonDown(MessageParam, MessageLong) {
    if (m_bMouseIn && platform::CancelMouseLeave(Handle())) {
        m_bMouseIn = false;
    }
    const MessageResult result = DefaultProcessing();
    m_bButtonDown = true;
    return result;
}

MessageResult CxSkinButton::OnLButtonUp(MessageParam, MessageLong lParam) {
    if (m_nStyle != 0 && PointOver(lParam)) {
        ToggleFromUser();
    }
    m_bButtonDown = false;
    return DefaultProcessing();
}

MessageResult CxSkinButton::OnMouseMove(MessageParam, MessageLong lParam) {
    if (m_bButtonDown && platform::GetMouseCapture() == Handle()) {
        const bool over = PointOver(lParam);
        if (over != IsPushed()) {
            SetState(over);
            Invalidate(false);
        }
    } else if (!m_bMouseIn) {
        if (platform::TrackMouseLeave(Handle())) {
            m_bMouseIn = true;
            Invalidate(false);
        }
    }
    return DefaultProcessing();
}

MessageResult CxSkinButton::OnLButtonDblClk(MessageParam wParam, MessageLong lParam) {
    // A double click is one more press, so two quick clicks are two clicks.
    return Send(platform::kMsgLeftButtonDown, wParam, lParam);
}

MessageResult CxSkinButton::OnKillFocus(MessageParam, MessageLong) {
    if (platform::GetMouseCapture() == Handle()) {
        platform::ReleaseMouseCapture();
        m_bButtonDown = false;
    }
    return DefaultProcessing();
}

MessageResult CxSkinButton::OnKeyDown(MessageParam wParam, MessageLong) {
    if (m_nStyle != 0 && wParam == platform::kKeySpace) {
        ToggleFromUser();
    }
    return DefaultProcessing();
}

MessageResult CxSkinButton::OnMouseLeave(MessageParam, MessageLong) {
    m_bMouseIn = false;
    Invalidate(false);
    return 0;
}

MessageResult CxSkinButton::OnUncheck(MessageParam, MessageLong) {
    if (m_bChecked) {
        m_bChecked = false;
        Invalidate(false);
    }
    return 0;
}

MessageResult CxSkinButton::OnSetCheck(MessageParam wParam, MessageLong) {
    m_bChecked = m_nStyle != 0 && wParam != 0;
    if (m_nStyle == 4 && m_bChecked) {
        const platform::WindowHandle parent = Parent();
        const platform::WindowHandle first = platform::NextGroupItem(parent, Handle());
        // The walk skips hidden and disabled controls; when it skips this
        // button it would circle the others for ever, so one round is the end.
        for (platform::WindowHandle other = first; other != 0 && other != Handle();) {
            platform::PostMessageTo(other, WM_SKINBTN_UNCHECK, 0, 0);
            other = platform::NextGroupItem(parent, other);
            if (other == first) {
                break;
            }
        }
    }
    Invalidate(false);
    return 0;
}

MessageResult CxSkinButton::OnGetCheck(MessageParam, MessageLong) {
    return m_bChecked ? 1 : 0;
}

CxSkinButton* CreateSkinButton(platform::WindowHandle parent, int id, int x, int y,
                               const std::u16string& key, const std::u16string& value, int normal,
                               int down, int over, int disabled, int mask, bool hide_with_progress,
                               bool check_box) {
    auto* button = new CxSkinButton;
    button->Create(u"",
                   platform::kStyleChild | platform::kStyleVisible |
                       (check_box ? platform::kButtonAutoCheckBox : 0u),
                   platform::Rect{}, parent, id);
    button->m_strKey = key;
    button->m_strValue = value;
    button->m_bHideWithProgress = hide_with_progress;
    if (normal != 0 && down != 0) {
        const gfx::Size size =
            platform::LoadBitmapResource(normal).value_or(gfx::Bitmap{}).Dimensions();
        button->MoveTo(x, y, size.width, size.height, true);
        button->SetSkin(normal, down, over, disabled, mask);
        button->Show(platform::kShowShow);
    }
    return button;
}
