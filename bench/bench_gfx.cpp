// The drawing layer's hot paths: the region of a shape bitmap built from its
// row runs (once per window or button), and full-window blits (every paint).
//
//   bench_gfx
//
// Prints the best of several runs of each, in milliseconds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Region.h"

namespace {

using platform::gfx::Bitmap;
using platform::gfx::DeviceContext;
using platform::gfx::kBlack;
using platform::gfx::kWhite;
using platform::gfx::Rect;
using platform::gfx::Region;

struct Run {
    int y;
    int left;
    int right;
};

// The maximal runs of non-white pixels, row by row.
std::vector<Run> RunsOf(const Bitmap& mask) {
    std::vector<Run> runs;
    for (int y = 0; y < mask.Height(); ++y) {
        int x = 0;
        while (x < mask.Width()) {
            while (x < mask.Width() && mask.GetPixel(x, y) == kWhite) {
                ++x;
            }
            const int left = x;
            while (x < mask.Width() && mask.GetPixel(x, y) != kWhite) {
                ++x;
            }
            if (x > left) {
                runs.push_back(Run{y, left, x});
            }
        }
    }
    return runs;
}

// A window shape: rounded corners of radius 24 and a few round cut-outs.
Bitmap WindowMask(int width, int height) {
    Bitmap mask(width, height, kBlack);
    auto cut_circle = [&](int cx, int cy, int r) {
        for (int y = std::max(0, cy - r); y < std::min(height, cy + r); ++y) {
            for (int x = std::max(0, cx - r); x < std::min(width, cx + r); ++x) {
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) {
                    mask.SetPixel(x, y, kWhite);
                }
            }
        }
    };
    const int r = 24;
    for (auto [cx, cy] :
         {std::pair{r, r}, {width - r, r}, {r, height - r}, {width - r, height - r}}) {
        // Only the corner square outside the circle is cut.
        for (int y = std::max(0, cy - r); y < std::min(height, cy + r); ++y) {
            for (int x = std::max(0, cx - r); x < std::min(width, cx + r); ++x) {
                const bool corner = (x < r || x >= width - r) && (y < r || y >= height - r);
                if (corner && (x - cx) * (x - cx) + (y - cy) * (y - cy) >= r * r) {
                    mask.SetPixel(x, y, kWhite);
                }
            }
        }
    }
    for (int i = 0; i < 6; ++i) {
        cut_circle(150 + i * 180, height / 2, 40 + i * 5);
    }
    return mask;
}

// About one white pixel in eight, scattered: many short runs per row.
Bitmap Speckled(int width, int height) {
    Bitmap mask(width, height, kBlack);
    unsigned state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            if ((state >> 16) % 8 == 0) {
                mask.SetPixel(x, y, kWhite);
            }
        }
    }
    return mask;
}

Bitmap Checkerboard(int width, int height) {
    Bitmap mask(width, height, kBlack);
    for (int y = 0; y < height; ++y) {
        for (int x = (y % 2); x < width; x += 2) {
            mask.SetPixel(x, y, kWhite);
        }
    }
    return mask;
}

double BestMs(int runs, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, bench::SecondsSince(start) * 1e3);
    }
    return best;
}

void BenchRegion(const char* name, const Bitmap& mask) {
    const std::vector<Run> runs = RunsOf(mask);
    Region region;
    const double ms = BestMs(50, [&] {
        Region::Builder builder;
        for (const Run& run : runs) {
            builder.AddSpan(run.y, run.left, run.right);
        }
        region = builder.Finish();
    });
    std::printf("region of %s %dx%d from %zu runs: %.3f ms (%zu rectangles)\n", name, mask.Width(),
                mask.Height(), runs.size(), ms, region.Rects().size());
}

}  // namespace

int main() {
    BenchRegion("a window mask", WindowMask(1280, 720));
    BenchRegion("a speckled mask", Speckled(1280, 720));
    BenchRegion("a checkerboard", Checkerboard(760, 424));

    Bitmap screen(1280, 720, kWhite);
    Bitmap picture(1280, 720, platform::gfx::Rgb(10, 20, 30));
    DeviceContext whole(screen);
    std::printf("copy blit 1280x720: %.3f ms\n",
                BestMs(50, [&] { whole.BitBlt(0, 0, 1280, 720, picture, 0, 0); }));
    std::printf("XOR blit 1280x720: %.3f ms\n", BestMs(50, [&] {
                    whole.BitBlt(0, 0, 1280, 720, picture, 0, 0, platform::gfx::RasterOp::kXor);
                }));

    const std::vector<Run> runs = RunsOf(WindowMask(1280, 720));
    Region::Builder builder;
    for (const Run& run : runs) {
        builder.AddSpan(run.y, run.left, run.right);
    }
    DeviceContext shaped(screen, {0, 0}, builder.Finish());
    std::printf("copy blit 1280x720 through the window shape: %.3f ms\n",
                BestMs(50, [&] { shaped.BitBlt(0, 0, 1280, 720, picture, 0, 0); }));
    std::printf("stretch 640x360 to 1280x720: %.3f ms\n", BestMs(20, [&] {
                    whole.StretchBlt(Rect{0, 0, 1280, 720}, picture, Rect{0, 0, 640, 360});
                }));
    return 0;
}
