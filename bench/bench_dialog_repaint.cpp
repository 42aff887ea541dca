// One full repaint of the launcher's main window on the headless display:
// invalidate, the composed paint pass (key art 214, the twelve masked
// buttons, the progress bar) and the present. Median and best of the runs.
//
//   bench_dialog_repaint

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/gfx/Bitmap.h"
#include "platform/resources/Resources.h"
#include "platform/window/WindowBase.h"
#include "platform/window/WindowUi.h"
#include "res/launcher/LauncherResources.h"
#include "skin/SkinButton.h"
#include "skin/SkinProgressControl.h"

namespace {

constexpr int kRuns = 50;

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The main window's face: the key art, copied as it is.
class KeyArtWindow : public platform::WindowBase {
  public:
    platform::gfx::Bitmap art = platform::LoadBitmapResource(214).value_or(platform::gfx::Bitmap{});

    int paints = 0;

    VELA_DECLARE_MESSAGE_MAP();
    platform::MessageResult OnPaint(platform::MessageParam, platform::MessageLong) {
        ++paints;
        platform::PaintScope scope(Handle());
        scope.Context().BitBlt(0, 0, art.Width(), art.Height(), art, 0, 0);
        return 0;
    }
    platform::MessageResult OnErase(platform::MessageParam, platform::MessageLong) { return 1; }
};

VELA_MESSAGE_MAP(KeyArtWindow, platform::WindowBase,
                 platform::MapMessage(platform::kMsgPaint, &KeyArtWindow::OnPaint),
                 platform::MapMessage(platform::kMsgEraseBackground, &KeyArtWindow::OnErase))

struct ButtonRow {
    int id;
    int left;
    int top;
    int normal;
};
constexpr ButtonRow kButtons[] = {
    {10001, 1160, 34, 229},  {10002, 1213, 34, 226},  {10003, 1210, 120, 232},
    {10004, 1210, 170, 235}, {10005, 1210, 220, 238}, {10006, 1210, 270, 241},
    {10007, 633, 635, 244},  {10008, 1053, 512, 247}, {10009, 1210, 320, 254},
    {10010, 1210, 370, 257}, {10011, 1053, 635, 260}, {10012, 845, 635, 263},
};

void Pump() {
    platform::Message message;
    while (platform::PeekNextMessage(message, true)) {
        platform::DispatchMessageToWindow(message);
    }
}

}  // namespace

int main() {
    platform::display::ReplaceBackend(
        std::make_unique<platform::display::headless::HeadlessDisplay>());
    platform::InstallResourceModule(&LauncherResources());

    KeyArtWindow window;
    platform::WindowCreation creation;
    creation.style = platform::kStylePopup | platform::kStyleVisible;
    creation.rect = platform::Rect::FromSize(0, 0, 1280, 720);
    if (window.art.IsEmpty() || !window.Create(creation)) {
        std::fprintf(stderr, "no key art or no window\n");
        return 1;
    }
    std::vector<std::unique_ptr<CxSkinButton>> buttons;
    for (const ButtonRow& row : kButtons) {
        auto button = std::make_unique<CxSkinButton>();
        button->Create(u"", platform::kStyleVisible, platform::Rect{}, window.Handle(), row.id);
        const platform::gfx::Size size =
            platform::LoadBitmapResource(row.normal).value_or(platform::gfx::Bitmap{}).Dimensions();
        button->MoveTo(row.left, row.top, size.width, size.height, true);
        button->SetSkin(row.normal, row.normal + 1, row.normal, row.normal, row.normal - 1);
        button->Show(row.id == 10008 ? platform::kShowHide : platform::kShowShow);
        buttons.push_back(std::move(button));
    }
    std::unique_ptr<CVelaSkinProgressControl> bar(
        CreateSkinProgress(window.Handle(), 11000, 33, 605));
    bar->Show(platform::kShowShow);
    bar->SetPos(40);
    Pump();

    std::vector<double> millis;
    std::vector<double> cpu_millis;
    const int paints_before = window.paints;
    for (int run = 0; run < kRuns; ++run) {
        const double cpu_start = ThreadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        platform::InvalidateWindow(window.Handle(), std::nullopt, true);
        platform::UpdateWindowNow(window.Handle());
        millis.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        cpu_millis.push_back(ThreadCpuMs() - cpu_start);
        Pump();
    }
    std::sort(millis.begin(), millis.end());
    std::sort(cpu_millis.begin(), cpu_millis.end());
    std::printf(
        "full repaint, 1280 x 720, 11 masked buttons shown + progress bar, %d runs:\n"
        "  wall median %.3f best %.3f  cpu median %.3f best %.3f ms  (target < 10 ms);"
        " %d paints of the window\n",
        kRuns, millis[millis.size() / 2], millis[0], cpu_millis[cpu_millis.size() / 2],
        cpu_millis[0], window.paints - paints_before);
    bar.reset();
    buttons.clear();
    window.DestroyWindow();
    return 0;
}
