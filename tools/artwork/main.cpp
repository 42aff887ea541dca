// vela-artwork launcher|uninstall OUTDIR [--png]: draws every bitmap of a
// program into OUTDIR as NAME.bmp (what the resource compiler embeds), and
// with --png also as NAME.png for looking at them, plus sheet.png: the small
// pictures enlarged three times on one page.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/artwork/Artwork.h"

namespace {

platform::gfx::Bitmap ContactSheet(const artwork::ArtSet& art) {
    namespace gfx = platform::gfx;
    constexpr int kZoom = 3, kPage = 1500, kGap = 12;
    gfx::Bitmap sheet(kPage, 2200, gfx::Rgb(90, 96, 110));
    int x = kGap, y = kGap, row_height = 0;
    for (const auto& [name, bitmap] : art) {
        if (bitmap.Width() > 460) {
            continue;
        }
        int w = bitmap.Width() * kZoom, h = bitmap.Height() * kZoom;
        if (x + w > kPage) {
            x = kGap;
            y += row_height + kGap;
            row_height = 0;
        }
        for (int yy = 0; yy < h; ++yy) {
            for (int xx = 0; xx < w; ++xx) {
                sheet.SetPixel(x + xx, y + yy, bitmap.GetPixel(xx / kZoom, yy / kZoom));
            }
        }
        x += w + kGap;
        row_height = std::max(row_height, h);
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--png")) {
        std::fprintf(stderr, "usage: vela-artwork launcher|uninstall OUTDIR [--png]\n");
        return 2;
    }
    const std::string program = argv[1];
    artwork::ArtSet art;
    if (program == "launcher") {
        art = artwork::DrawLauncherArt();
    } else if (program == "uninstall") {
        art = artwork::DrawUninstallArt();
    } else {
        std::fprintf(stderr, "vela-artwork: unknown program \"%s\"\n", program.c_str());
        return 2;
    }
    const std::filesystem::path dir = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const auto& [name, bitmap] : art) {
        std::vector<std::uint8_t> bmp = bitmap.ToBmp();
        std::ofstream out(dir / (name + ".bmp"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bmp.data()),
                  static_cast<std::streamsize>(bmp.size()));
        if (!out.good()) {
            std::fprintf(stderr, "vela-artwork: cannot write %s.bmp\n", name.c_str());
            return 1;
        }
        if (argc == 4 &&
            !bitmap.WritePng(platform::PathArg::Native((dir / (name + ".png")).string()))) {
            std::fprintf(stderr, "vela-artwork: cannot write %s.png\n", name.c_str());
            return 1;
        }
    }
    if (argc == 4 &&
        !ContactSheet(art).WritePng(platform::PathArg::Native((dir / "sheet.png").string()))) {
        std::fprintf(stderr, "vela-artwork: cannot write sheet.png\n");
        return 1;
    }
    return 0;
}
