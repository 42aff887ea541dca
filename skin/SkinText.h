// The uninstaller's text: word-wrapped, in its own font and colour, drawn
// straight onto the skinned dialog. Nothing paints its background, so the
// dialog's picture shows between the letters. Text, font and colour are fixed
// once it is made.
//
// Thread rules: the window's thread.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/window/StaticControl.h"

class CVelaSkinText : public platform::StaticControl {
  public:
    CVelaSkinText();
    ~CVelaSkinText() override;

    // The text on one line in the control's font.
    virtual platform::Size GetNaturalSize();

    platform::gfx::Color m_clrText = platform::gfx::kButtonTextColor;
    std::u16string m_strText;
    int m_nFontHeight = 20;
    int m_nFontWeight = 400;
    std::u16string m_strFontFace;
    int m_nLeft = 0;
    bool m_bVCenter = false;
    bool m_bHCenter = false;

    VELA_DECLARE_MESSAGE_MAP();

  protected:
    platform::MessageResult OnPaint(platform::MessageParam wParam, platform::MessageLong lParam);
    platform::MessageResult OnEraseBkgnd(platform::MessageParam wParam,
                                         platform::MessageLong lParam);

  private:
    const platform::gfx::Font& TextFont();

    std::shared_ptr<const platform::gfx::Font> font_;  // made on first use
};

// A visible text at x, y, centred vertically. With both width and height at
// most 0 it takes its one-line size; otherwise the given size as it is. The
// caller keeps the object.
CVelaSkinText* CreateSkinText(platform::WindowHandle parent, int id, const std::u16string& text,
                              int x, int y, int width, int height, platform::gfx::Color color,
                              int font_height, int font_weight, const std::u16string& face);
