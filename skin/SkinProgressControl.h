// The progress bar of both programs: an empty-bar picture with the left part
// of a full-bar picture over it, in proportion to the position, cut to the
// outline of a shape bitmap. The common control stays underneath (its range
// and position are kept in step) and paints only when a picture is missing.
// Which pictures it uses depends on the installed resource module.
//
// Thread rules: the window's thread.
#pragma once

#include <optional>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "platform/window/ProgressControl.h"

class CVelaSkinProgressControl : public platform::ProgressControl {
  public:
    CVelaSkinProgressControl();
    ~CVelaSkinProgressControl() override;

    // The running program's three pictures; the outline follows the mask.
    void LoadSkin();
    // The range becomes 0..upper. A negative upper end is taken as 0: the
    // position could only clamp to it, and no bar is less than empty.
    void SetRange(int upper);
    // Clamped into the range; repaints when the position changes.
    void SetPos(int pos);

    platform::gfx::Bitmap m_bmpMask;
    std::optional<platform::gfx::Region> m_hRgn;
    platform::gfx::Bitmap m_bmpFill;
    platform::gfx::Bitmap m_bmpBack;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nSpan = 100;  // divisor of the filled width, never 0
    int m_nPos = 0;

    // Width of the filled part for a client width.
    int FilledWidth(int client_width) const;

    VELA_DECLARE_MESSAGE_MAP();

  protected:
    platform::MessageResult OnPaint(platform::MessageParam wParam, platform::MessageLong lParam);
    platform::MessageResult OnEraseBkgnd(platform::MessageParam wParam,
                                         platform::MessageLong lParam);
};

// Resource ids of the program's progress pictures; all 0 for an unknown
// program (the bar then paints as the common control).
struct SkinProgressBitmaps {
    int back = 0;
    int fill = 0;
    int mask = 0;
};
SkinProgressBitmaps SkinProgressBitmapsOfInstalledProgram();

// A hidden bar at x, y, 0..100 at 0, as wide as the program's mask and five
// rows taller (the outline hides those rows). The caller keeps the object.
CVelaSkinProgressControl* CreateSkinProgress(platform::WindowHandle parent, int id, int x, int y);
