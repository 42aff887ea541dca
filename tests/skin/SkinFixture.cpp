#include "tests/skin/SkinFixture.h"

#include "platform/window/WindowUi.h"

namespace skintest {

using platform::MessageLong;
using platform::MessageParam;
using platform::MessageResult;

VELA_MESSAGE_MAP(Canvas, platform::WindowBase,
                 platform::MapMessage(platform::kMsgPaint, &Canvas::OnPaint),
                 platform::MapMessage(platform::kMsgEraseBackground, &Canvas::OnEraseBackground),
                 platform::MapMessage(platform::kMsgCommand, &Canvas::OnCommand),
                 platform::MapMessage(platform::kMsgLeftButtonDown, &Canvas::OnLeftButtonDown))

MessageResult Canvas::OnPaint(MessageParam, MessageLong) {
    platform::PaintScope scope(Handle());
    scope.Context().FillRect(ClientRect(), kCanvasColor);
    return 0;
}

MessageResult Canvas::OnEraseBackground(MessageParam, MessageLong) {
    return 1;
}

MessageResult Canvas::OnCommand(MessageParam wParam, MessageLong) {
    if (platform::CommandCode(wParam) == platform::kButtonClicked) {
        clicks.push_back(platform::CommandId(wParam));
    }
    return 0;
}

MessageResult Canvas::OnLeftButtonDown(MessageParam, MessageLong) {
    ++presses;
    return DefaultProcessing();
}

void SkinTest::SetUp() {
    previous_module_ = platform::InstalledResourceModule();
    UseLauncher();
    platform::WindowCreation creation;
    creation.style = platform::kStylePopup | platform::kStyleVisible;
    creation.rect = platform::Rect::FromSize(kCanvasOrigin.x, kCanvasOrigin.y, 1300, 760);
    ASSERT_TRUE(canvas_.Create(creation));
    Pump();
}

void SkinTest::TearDown() {
    kept_.clear();
    canvas_.DestroyWindow();
    Pump();
    platform::InstallResourceModule(previous_module_);
}

platform::Point SkinTest::OnScreen(platform::WindowHandle child, int x, int y) const {
    return platform::ClientToScreen(child, platform::Point{x, y});
}

platform::gfx::Bitmap SkinTest::Shown() {
    Pump();
    std::optional<platform::gfx::Bitmap> surface = display().Surface(canvas());
    EXPECT_TRUE(surface.has_value());
    return surface.value_or(platform::gfx::Bitmap{});
}

void SkinTest::Pump() {
    testsupport::PumpUntilIdle();
}

platform::gfx::Bitmap SkinTest::Picture(int id) {
    std::optional<platform::gfx::Bitmap> bitmap = platform::LoadBitmapResource(id);
    EXPECT_TRUE(bitmap.has_value()) << "bitmap " << id;
    return bitmap.value_or(platform::gfx::Bitmap{});
}

int Mismatches(const platform::gfx::Bitmap& shown, platform::Point at,
               const platform::gfx::Bitmap& picture, const platform::gfx::Bitmap& mask, int rows) {
    int wrong = 0;
    const int height = rows < 0 ? picture.Height() : rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const bool outside = !mask.IsEmpty() && mask.GetPixel(x, y) == platform::gfx::kWhite;
            const platform::gfx::Color expected = outside ? kCanvasColor : picture.GetPixel(x, y);
            wrong += shown.GetPixel(at.x + x, at.y + y) == expected ? 0 : 1;
        }
    }
    return wrong;
}

}  // namespace skintest
