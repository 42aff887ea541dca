// A top-level window of one plain colour on a fresh headless display, with
// the program's resources installed: what every skin test draws over. The
// window records the clicks its children report.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/resources/Resources.h"
#include "platform/window/WindowBase.h"
#include "res/launcher/LauncherResources.h"
#include "res/uninstall/UninstallResources.h"
#include "tests/support/HeadlessDisplayFixture.h"

namespace skintest {

constexpr platform::gfx::Color kCanvasColor = platform::gfx::Rgb(20, 140, 60);
constexpr platform::Point kCanvasOrigin{100, 100};

class Canvas : public platform::WindowBase {
  public:
    std::vector<int> clicks;  // control ids, in order
    int presses = 0;          // left presses that reached the canvas itself

    VELA_DECLARE_MESSAGE_MAP();
    platform::MessageResult OnPaint(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnEraseBackground(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnCommand(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnLeftButtonDown(platform::MessageParam, platform::MessageLong);
};

class SkinTest : public testsupport::HeadlessDisplayTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    void UseLauncher() { platform::InstallResourceModule(&LauncherResources()); }
    void UseUninstaller() { platform::InstallResourceModule(&UninstallResources()); }

    platform::WindowHandle canvas() const { return canvas_.Handle(); }
    Canvas& canvas_object() { return canvas_; }
    // Keeps a control made by a creation function until the test ends.
    template <class T>
    T* Keep(T* control) {
        kept_.emplace_back(control);
        return control;
    }

    // Screen point of a point of a child of the canvas.
    platform::Point OnScreen(platform::WindowHandle child, int x, int y) const;
    // The canvas as shown, after every pending message and paint.
    platform::gfx::Bitmap Shown();
    void Pump();

    static platform::gfx::Bitmap Picture(int id);

  private:
    Canvas canvas_;
    std::vector<std::unique_ptr<platform::WindowBase>> kept_;
    const platform::ResourceModule* previous_module_ = nullptr;
};

// Pixels of the rectangle at `at` that differ from the picture seen through
// the mask over the canvas colour (no mask: the picture everywhere). Rows at
// and below `rows` are not compared.
int Mismatches(const platform::gfx::Bitmap& shown, platform::Point at,
               const platform::gfx::Bitmap& picture, const platform::gfx::Bitmap& mask,
               int rows = -1);

}  // namespace skintest
