#include "skin/SkinText.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/window/WindowUi.h"

using platform::MessageLong;
using platform::MessageParam;
using platform::MessageResult;
namespace gfx = platform::gfx;
namespace text_flags = platform::gfx::text_flags;

VELA_MESSAGE_MAP(CVelaSkinText, platform::StaticControl,
                 platform::MapMessage(platform::kMsgPaint, &CVelaSkinText::OnPaint),
                 platform::MapMessage(platform::kMsgEraseBackground, &CVelaSkinText::OnEraseBkgnd))

CVelaSkinText::CVelaSkinText() = default;

CVelaSkinText::~CVelaSkinText() = default;

const gfx::Font& CVelaSkinText::TextFont() {
    const gfx::FontDescription wanted{m_nFontHeight, m_nFontWeight, false, false, m_strFontFace};
    if (font_ == nullptr || font_->Description() != wanted) {
        font_ = gfx::Font::Create(wanted);
    }
    return *font_;
}

platform::Size CVelaSkinText::GetNaturalSize() {
    gfx::DeviceContext dc = platform::GetWindowContext(Handle());
    dc.SelectFont(&TextFont());
    return dc.GetTextExtent(m_strText);
}

MessageResult CVelaSkinText::OnPaint(MessageParam, MessageLong) {
    platform::PaintScope scope(Handle());
    gfx::DeviceContext& dc = scope.Context();
    dc.SetBackgroundMode(gfx::BackgroundMode::kTransparent);
    dc.SetTextColor(m_clrText);
    const gfx::Font* previous = dc.SelectFont(&TextFont());

    gfx::Rect rect = ClientRect();
    rect.left = m_nLeft;
    gfx::Rect measured = rect;
    const int block_height = dc.DrawText(m_strText, measured,
                                         text_flags::kCalcRect | text_flags::kWordBreak |
                                             text_flags::kNoPrefix | text_flags::kEditControl);
    if (m_bVCenter) {
        rect.top += (rect.Height() - block_height) / 2;
        if (rect.top < 0) {
            rect.top = 0;  // a block taller than the box starts at its top
        }
    }
    dc.DrawText(m_strText, rect,
                text_flags::kWordBreak | (m_bHCenter ? text_flags::kCenter : text_flags::kLeft));
    dc.SelectFont(previous);
    return 0;
}

MessageResult CVelaSkinText::OnEraseBkgnd(MessageParam, MessageLong) {
    return 1;
}

CVelaSkinText* CreateSkinText(platform::WindowHandle parent, int id, const std::u16string& text,
                              int x, int y, int width, int height, gfx::Color color,
                              int font_height, int font_weight, const std::u16string& face) {
    auto* label = new CVelaSkinText;
    label->m_clrText = color;
    label->m_nFontHeight = font_height;
    label->m_strText = text;
    label->m_nFontWeight = font_weight;
    label->m_strFontFace = face;
    label->Create(u"",
                  platform::kStyleChild | platform::kStyleVisible | platform::kStyleClipChildren |
                      platform::kStaticNotify,
                  platform::Rect{}, parent, id);
    label->m_bVCenter = true;
    label->ModifyExStyle(0, platform::kExStyleTransparent | platform::kExStyleComposited);
    if (width <= 0 && height <= 0) {
        const platform::Size natural = label->GetNaturalSize();
        width = natural.width;
        height = natural.height;
    }
    label->MoveTo(x, y, width, height, true);
    label->Show(platform::kShowShow);
    return label;
}
