// One paint of a skinned text control, the way the programs do it: create the
// font, measure the wrapped block, draw it centred, drop the font. The first
// paint also finds the faces and renders the glyphs; the later ones should
// cost no more than laying out and blending. Median and best of the later
// runs, wall time.
//
//   bench_text_paint

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"

namespace {

using namespace platform::gfx;

constexpr int kRuns = 200;

const char16_t kParagraph[] =
    u"卸载程序将从您的计算机中删除游戏及其全部组件。请在继续之前关闭正在运行的游戏，"
    u"并确认您已备份需要保留的存档与截图。The uninstaller removes the game and every "
    u"component it installed; close the game before you go on.";

void Paint(Bitmap& surface) {
    DeviceContext dc(surface);
    auto font = Font::Create({.height = 22, .weight = 700, .face = u"微软雅黑"});
    dc.SelectFont(font.get());
    dc.SetBackgroundMode(BackgroundMode::kTransparent);
    dc.SetTextColor(kWhite);
    Rect rect{20, 0, surface.Width() - 20, surface.Height()};
    Rect measure = rect;
    const int height = dc.DrawText(kParagraph, measure,
                                   text_flags::kCalcRect | text_flags::kWordBreak |
                                       text_flags::kNoPrefix | text_flags::kEditControl);
    rect.top = std::max(0, (rect.Height() - height) / 2);
    dc.DrawText(kParagraph, rect, text_flags::kWordBreak | text_flags::kCenter);
}

}  // namespace

int main() {
    Bitmap surface(700, 200, Rgb(30, 60, 90));
    const auto cold = std::chrono::steady_clock::now();
    Paint(surface);
    const double first_ms = bench::SecondsSince(cold) * 1000;

    std::vector<double> millis;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        Paint(surface);
        millis.push_back(bench::SecondsSince(start) * 1000);
    }
    std::sort(millis.begin(), millis.end());
    std::printf("text paint, 700x200, %zu characters wrapped and centred\n",
                std::size(kParagraph) - 1);
    std::printf("  first paint (faces, glyphs): %.3f ms\n", first_ms);
    std::printf("  later paints: median %.3f ms, best %.3f ms over %d runs\n",
                millis[millis.size() / 2], millis.front(), kRuns);
    return 0;
}
