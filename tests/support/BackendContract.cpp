#include "tests/support/BackendContract.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/window/WindowUi.h"
#include "tests/support/HeadlessDisplayFixture.h"

namespace testsupport {
namespace {

using namespace platform;

constexpr gfx::Color kFace = gfx::Rgb(220, 40, 40);
constexpr char16_t kContractClass[] = u"BackendContract.Window";

MessageResult FillingProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                               MessageLong lParam) {
    if (message == kMsgPaint) {
        PaintScope paint(window);
        paint.Context().FillRect(GetClientRectOf(window), kFace);
        return 0;
    }
    return DefaultWindowProcedure(window, message, wParam, lParam);
}

class InstalledBackend {
  public:
    explicit InstalledBackend(std::unique_ptr<display::DisplayBackend> backend)
        : backend_(backend.get()), previous_(display::ReplaceBackend(std::move(backend))) {}
    ~InstalledBackend() { display::ReplaceBackend(std::move(previous_)); }
    display::DisplayBackend& backend() { return *backend_; }

  private:
    display::DisplayBackend* backend_;
    std::unique_ptr<display::DisplayBackend> previous_;
};

// Waits (pumping the window layer and the backend) until the screen shows
// the face colour at p, or stops showing it; true when it did in time.
bool ScreenShowsFace(const BackendUnderTest& under_test, display::DisplayBackend& backend,
                     gfx::Point p, bool expected) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        PumpUntilIdle();
        backend.PumpEvents(0);
        std::optional<gfx::Color> pixel = under_test.screen_pixel(backend, p);
        if (pixel.has_value() && (*pixel == kFace) == expected) {
            return true;
        }
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

void RunBackendContract(const BackendUnderTest& under_test) {
    SCOPED_TRACE(under_test.name);
    InstalledBackend installed(under_test.make());
    display::DisplayBackend& backend = installed.backend();
    EXPECT_FALSE(backend.Name().empty());

    const display::ScreenInfo screen = backend.Screen();
    const Rect whole{0, 0, screen.size.width, screen.size.height};
    EXPECT_GT(screen.size.width, 0);
    EXPECT_GT(screen.size.height, 0);
    EXPECT_EQ(screen.work_area.Intersect(whole), screen.work_area);
    if (screen.taskbar.has_value()) {
        EXPECT_EQ(screen.taskbar->Intersect(whole), *screen.taskbar);
    }

    static const bool registered = RegisterWindowClass(kContractClass, &FillingProcedure);
    (void)registered;
    WindowCreation creation;
    creation.class_name = kContractClass;
    creation.style = kStylePopup;
    creation.rect = Rect::FromSize(40, 50, 120, 80);
    const WindowHandle window = CreateWindowWith(creation);
    ASSERT_NE(window, 0u);
    // The top-left 20 × 20 corner is cut away.
    SetWindowRegion(
        window, gfx::Region(Rect{0, 0, 120, 80}).Subtract(gfx::Region(Rect{0, 0, 20, 20})), false);
    ShowWindowAs(window, kShowNormal);
    SetWindowZOrder(window, ZOrder::kTop);
    PumpUntilIdle();
    backend.PumpEvents(0);
    (void)backend.CursorPosition();

    if (under_test.screen_pixel) {
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{40 + 60, 50 + 40}, true))
            << "shown and presented";
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{40 + 5, 50 + 5}, false))
            << "the shape's cut";
    }
    MoveWindowTo(window, 300, 200, 120, 80, true);
    if (under_test.screen_pixel) {
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{300 + 60, 200 + 40}, true))
            << "moved";
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{40 + 60, 50 + 40}, false))
            << "gone from the old place";
    }
    ShowWindowAs(window, kShowHide);
    if (under_test.screen_pixel) {
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{300 + 60, 200 + 40}, false))
            << "hidden";
    }
    ShowWindowAs(window, kShowShow);
    if (under_test.screen_pixel) {
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{300 + 60, 200 + 40}, true))
            << "shown again";
    }
    DestroyWindowHandle(window);
    if (under_test.screen_pixel) {
        EXPECT_TRUE(ScreenShowsFace(under_test, backend, Point{300 + 60, 200 + 40}, false))
            << "destroyed";
    }

    display::TrayIcon icon;
    icon.owner = 0x7001;
    icon.id = 3;
    icon.callback_message = 1126;
    icon.icon.image = gfx::Bitmap(16, 16, kFace);
    icon.icon.shape = gfx::Region(Rect{0, 0, 16, 16});
    icon.tip = u"Contract";
    EXPECT_TRUE(backend.AddTrayIcon(icon));
    icon.tip = u"Changed";
    EXPECT_TRUE(backend.ModifyTrayIcon(icon));
    EXPECT_TRUE(backend.RemoveTrayIcon(icon.owner, icon.id));
    EXPECT_FALSE(backend.RemoveTrayIcon(icon.owner, icon.id));
    EXPECT_FALSE(backend.ModifyTrayIcon(icon));
}

}  // namespace testsupport
