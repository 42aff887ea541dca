// Building a window region from a shape bitmap, as every skinned control and
// dialog does once when it takes its skin: the 760 × 424 uninstaller shape, a
// 1280 × 720 shape thresholded from the launcher's key art, and checkerboards
// of both sizes (one run per pixel pair: the worst case). Median and best of
// the runs, wall time.
//
//   bench_mask_region

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/resources/Resources.h"
#include "res/launcher/LauncherResources.h"
#include "res/uninstall/UninstallResources.h"
#include "skin/MaskRegion.h"

namespace {

using platform::gfx::Bitmap;

constexpr int kRuns = 50;

// Processor time of this thread: steadier than wall time on a shared machine.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

Bitmap Checkerboard(int width, int height) {
    Bitmap board(width, height, platform::gfx::kWhite);
    for (int y = 0; y < height; ++y) {
        for (int x = (y & 1); x < width; x += 2) {
            board.SetPixel(x, y, platform::gfx::kBlack);
        }
    }
    return board;
}

// Bright parts of the picture become outside: a shape with the ragged edges
// of real artwork rather than a clean outline.
Bitmap Threshold(const Bitmap& picture) {
    Bitmap mask(picture.Width(), picture.Height(), platform::gfx::kWhite);
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const auto c = picture.GetPixel(x, y);
            const int luma = (299 * platform::gfx::RedOf(c) + 587 * platform::gfx::GreenOf(c) +
                              114 * platform::gfx::BlueOf(c)) /
                             1000;
            if (luma < 96) {
                mask.SetPixel(x, y, platform::gfx::kBlack);
            }
        }
    }
    return mask;
}

void Measure(const char* name, const Bitmap& mask, double target_ms) {
    std::vector<double> millis;
    std::vector<double> cpu_millis;
    std::size_t rects = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double cpu_start = ThreadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        std::optional<platform::gfx::Region> region = CreateRegionFromMask(mask);
        millis.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        cpu_millis.push_back(ThreadCpuMs() - cpu_start);
        rects = region ? region->Rects().size() : 0;
    }
    std::sort(millis.begin(), millis.end());
    std::sort(cpu_millis.begin(), cpu_millis.end());
    std::printf(
        "%-32s %4d x %-4d %7zu rects  wall median %7.3f best %7.3f  cpu median %7.3f best %7.3f"
        " ms  (target < %.0f ms)\n",
        name, mask.Width(), mask.Height(), rects, millis[millis.size() / 2], millis[0],
        cpu_millis[cpu_millis.size() / 2], cpu_millis[0], target_ms);
}

}  // namespace

int main() {
    platform::InstallResourceModule(&LauncherResources());
    std::optional<Bitmap> key_art = platform::LoadBitmapResource(214);
    platform::InstallResourceModule(&UninstallResources());
    std::optional<Bitmap> shape = platform::LoadBitmapResource(130);
    if (!key_art || !shape) {
        std::fprintf(stderr, "bitmap 214 of the launcher or 130 of the uninstaller is missing\n");
        return 1;
    }
    std::printf("CreateRegionFromMask, %d runs each\n", kRuns);
    Measure("launcher key art, thresholded", Threshold(*key_art), 5);
    Measure("checkerboard", Checkerboard(1280, 720), 5);
    Measure("uninstaller shape (bitmap 130)", *shape, 2);
    Measure("checkerboard", Checkerboard(760, 424), 2);
    return 0;
}
