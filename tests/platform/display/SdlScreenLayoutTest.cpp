// The sdl display's screen from the desktop's two rectangles: the taskbar is
// the strip the work area leaves, on whichever edge it is.
#include <gtest/gtest.h>

#include <optional>

#include "platform/display/sdl/ScreenLayout.h"

namespace {

using platform::display::ScreenInfo;
using platform::display::sdl::ScreenFromBounds;
using platform::gfx::Rect;

TEST(SdlScreenLayoutTest, TaskbarIsTheStripOutsideTheWorkArea) {
    const Rect screen{0, 0, 1920, 1080};
    struct Case {
        const char* what;
        Rect usable;
        Rect work_area;
        std::optional<Rect> taskbar;
    };
    const Case cases[] = {
        {"no panel", screen, screen, std::nullopt},
        {"bottom", {0, 0, 1920, 1040}, {0, 0, 1920, 1040}, Rect{0, 1040, 1920, 1080}},
        {"top", {0, 27, 1920, 1080}, {0, 27, 1920, 1080}, Rect{0, 0, 1920, 27}},
        {"left", {64, 0, 1920, 1080}, {64, 0, 1920, 1080}, Rect{0, 0, 64, 1080}},
        {"right", {0, 0, 1870, 1080}, {0, 0, 1870, 1080}, Rect{1870, 0, 1920, 1080}},
        // Panels on two edges: the larger strip is the taskbar.
        {"top bar and bottom dock",
         {0, 27, 1920, 1000},
         {0, 27, 1920, 1000},
         Rect{0, 1000, 1920, 1080}},
        // A desktop reporting nonsense leaves the whole screen to work on.
        {"empty work area", {0, 0, 0, 0}, screen, std::nullopt},
        {"work area off the screen", {2000, 0, 2500, 1080}, screen, std::nullopt},
    };
    for (const Case& c : cases) {
        const ScreenInfo info = ScreenFromBounds(screen, c.usable);
        EXPECT_EQ(info.size.width, 1920) << c.what;
        EXPECT_EQ(info.size.height, 1080) << c.what;
        EXPECT_EQ(info.work_area, c.work_area) << c.what;
        EXPECT_EQ(info.taskbar, c.taskbar) << c.what;
    }
}

TEST(SdlScreenLayoutTest, ASecondMonitorsOffsetIsKept) {
    const ScreenInfo info = ScreenFromBounds(Rect{1920, 0, 3200, 1024}, Rect{1920, 0, 3200, 984});
    EXPECT_EQ(info.work_area, (Rect{1920, 0, 3200, 984}));
    EXPECT_EQ(info.taskbar, (Rect{1920, 984, 3200, 1024}));
}

}  // namespace
