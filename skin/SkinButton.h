// The push button of every skinned window: it paints itself from one bitmap
// per state, takes its outline from a shape bitmap (white is outside, so
// clicks there fall through to what lies under it), tracks hover and press
// itself and can act as a check box or radio button. The parent reads the
// public key, value and hide flag to decide what a click means; the button
// itself only sends the usual click notification.
//
// Thread rules: the window's thread, as every control.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Region.h"
#include "platform/window/ButtonControl.h"

// Posted to the other radio buttons of a group when one becomes checked.
constexpr std::uint32_t WM_SKINBTN_UNCHECK = 0x500;

class CxSkinButton : public platform::ButtonControl {
  public:
    CxSkinButton();
    ~CxSkinButton() override;

    // Resource ids of the running module's bitmaps; 0 is none. A missing
    // disabled picture is the normal one; a mask that cannot be loaded keeps
    // the window's previous outline. Call once the window exists.
    void SetSkin(int normal, int down, int over, int disabled, int mask);

    std::u16string m_strText1;
    std::u16string m_strText2;
    platform::gfx::Color m_clrText1 = platform::gfx::kButtonTextColor;
    platform::gfx::Color m_clrText2 = platform::gfx::kButtonTextColor;
    int m_nText1Left = 0;
    int m_nText1Top = 0;
    int m_nText2Left = 0;
    int m_nText2Top = 0;
    std::u16string m_strKey;
    std::u16string m_strValue;
    bool m_bHideWithProgress = false;
    bool m_bChecked = false;
    int m_nStyle = 0;  // 0 push button, 2 check box, 4 radio button
    bool m_bMouseIn = false;
    bool m_bButtonDown = false;
    platform::gfx::Bitmap m_bmpNormal;
    platform::gfx::Bitmap m_bmpDown;
    platform::gfx::Bitmap m_bmpDisabled;
    platform::gfx::Bitmap m_bmpMask;
    platform::gfx::Bitmap m_bmpOver;
    std::optional<platform::gfx::Region> m_hRgn;

    VELA_DECLARE_MESSAGE_MAP();

  protected:
    void PreSubclassWindow() override;
    void DrawItem(const platform::DrawItemInfo& info) override;

    void DrawSkinBitmap(platform::gfx::DeviceContext& dc, const platform::gfx::Bitmap& bitmap,
                        const platform::gfx::Rect& rect);
    void DrawCaption(platform::gfx::DeviceContext& dc, const std::u16string& text,
                     platform::gfx::Color color, int left, int top);

    platform::MessageResult OnEraseBkgnd(platform::MessageParam wParam,
                                         platform::MessageLong lParam);
    platform::MessageResult OnLButtonDown(platform::MessageParam wParam,
                                          platform::MessageLong lParam);
    platform::MessageResult OnLButtonUp(platform::MessageParam wParam,
                                        platform::MessageLong lParam);
    platform::MessageResult OnMouseMove(platform::MessageParam wParam,
                                        platform::MessageLong lParam);
    platform::MessageResult OnLButtonDblClk(platform::MessageParam wParam,
                                            platform::MessageLong lParam);
    platform::MessageResult OnKillFocus(platform::MessageParam wParam,
                                        platform::MessageLong lParam);
    platform::MessageResult OnKeyDown(platform::MessageParam wParam, platform::MessageLong lParam);
    platform::MessageResult OnMouseLeave(platform::MessageParam wParam,
                                         platform::MessageLong lParam);
    platform::MessageResult OnUncheck(platform::MessageParam wParam, platform::MessageLong lParam);
    platform::MessageResult OnSetCheck(platform::MessageParam wParam, platform::MessageLong lParam);
    platform::MessageResult OnGetCheck(platform::MessageParam wParam, platform::MessageLong lParam);

  private:
    bool IsPushed() const;
    bool PointOver(platform::MessageLong lParam) const;
    void ToggleFromUser();
};

// The uninstaller's way to make a button: a visible child at x, y sized by
// its normal picture and skinned, when both normal and down are given;
// otherwise an unskinned button with an empty rectangle. The caller keeps the
// object for the rest of the program.
CxSkinButton* CreateSkinButton(platform::WindowHandle parent, int id, int x, int y,
                               const std::u16string& key, const std::u16string& value, int normal,
                               int down, int over, int disabled, int mask, bool hide_with_progress,
                               bool check_box);
