#include "skin/SkinProgressControl.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/resources/Resources.h"
#include "platform/window/WindowUi.h"
#include "skin/MaskRegion.h"

using platform::MessageLong;
using platform::MessageParam;
using platform::MessageResult;
namespace gfx = platform::gfx;

namespace {

gfx::Bitmap LoadSkinBitmap(int id) {
    if (id == 0) {
        return gfx::Bitmap{};
    }
    return platform::LoadBitmapResource(id).value_or(gfx::Bitmap{});
}

}  // namespace

SkinProgressBitmaps SkinProgressBitmapsOfInstalledProgram() {
    const platform::ResourceModule* module = platform::InstalledResourceModule();
    if (module == nullptr) {
        return {};
    }
    if (module->program == u"Launcher") {
        return {250, 252, 251};
    }
    if (module->program == u"VelaUninstall") {
        return {141, 142, 143};
    }
    return {};
}

VELA_MESSAGE_MAP(CVelaSkinProgressControl, platform::ProgressControl,
                 platform::MapMessage(platform::kMsgPaint, &CVelaSkinProgressControl::OnPaint),
                 platform::MapMessage(platform::kMsgEraseBackground,
                                      &CVelaSkinProgressControl::OnEraseBkgnd))

CVelaSkinProgressControl::CVelaSkinProgressControl() = default;

CVelaSkinProgressControl::~CVelaSkinProgressControl() = default;

void CVelaSkinProgressControl::LoadSkin() {
    m_bmpMask = gfx::Bitmap{};
    m_bmpFill = gfx::Bitmap{};
    m_bmpBack = gfx::Bitmap{};
    const SkinProgressBitmaps ids = SkinProgressBitmapsOfInstalledProgram();
    m_bmpBack = LoadSkinBitmap(ids.back);
    m_bmpFill = LoadSkinBitmap(ids.fill);
    m_bmpMask = LoadSkinBitmap(ids.mask);
    m_hRgn.reset();
    m_hRgn = CreateRegionFromMask(m_bmpMask);
    if (m_hRgn && HasWindow()) {
        SetRegion(*m_hRgn, true);
    }
}

void CVelaSkinProgressControl::SetRange(int upper) {
    upper = std::max(upper, 0);
    const bool changed = upper != m_nUpper || m_nLower != 0;
    m_nLower = 0;
    m_nUpper = upper;
    m_nSpan = upper == 0 ? 1 : upper;
    // The whole range, not 16-bit halves, so the common control agrees with
    // the skin when it paints in its place.
    Send(platform::kMsgProgressSetRange32, 0, static_cast<MessageLong>(upper));
    if (changed) {
        Invalidate(false);
    }
}

void CVelaSkinProgressControl::SetPos(int pos) {
    pos = std::max(pos, m_nLower);
    pos = std::min(pos, m_nUpper);
    const bool changed = pos != m_nPos;
    m_nPos = pos;
    Send(platform::kMsgProgressSetPos, static_cast<MessageParam>(static_cast<std::uint32_t>(pos)),
         0);
    // The common control repaints only when its own position moved; after a
    // new range the skin's position may move while the control's does not.
    if (changed) {
        Invalidate(false);
    }
}

int CVelaSkinProgressControl::FilledWidth(int client_width) const {
    // In 64 bits: a large range times the width would overflow int.
    const std::int64_t width =
        static_cast<std::int64_t>(client_width) * m_nPos / std::max(m_nSpan, 1);
    return static_cast<int>(std::clamp<std::int64_t>(width, 0, std::max(client_width, 0)));
}

MessageResult CVelaSkinProgressControl::OnPaint(MessageParam, MessageLong) {
    if (m_bmpBack.IsEmpty() || m_bmpFill.IsEmpty()) {
        return DefaultProcessing();
    }
    platform::PaintScope scope(Handle());
    gfx::DeviceContext& dc = scope.Context();
    const gfx::Rect client = ClientRect();
    dc.BitBlt(0, 0, client.Width(), client.Height(), m_bmpBack, 0, 0);
    dc.BitBlt(0, 0, FilledWidth(client.Width()), client.Height(), m_bmpFill, 0, 0);
    return 0;
}

MessageResult CVelaSkinProgressControl::OnEraseBkgnd(MessageParam, MessageLong) {
    return 1;
}

CVelaSkinProgressControl* CreateSkinProgress(platform::WindowHandle parent, int id, int x, int y) {
    auto* bar = new CVelaSkinProgressControl;
    bar->Create(platform::kStyleChild | platform::kStyleVisible | platform::kProgressSmooth,
                platform::Rect{}, parent, id);
    bar->LoadSkin();
    bar->SetRange(100);
    bar->SetPos(0);
    const gfx::Size size =
        LoadSkinBitmap(SkinProgressBitmapsOfInstalledProgram().mask).Dimensions();
    bar->MoveTo(x, y, size.width, size.height + 5, true);
    bar->Show(platform::kShowHide);
    return bar;
}
