// The gallery against its reference picture: every skinned control of both
// programs in every state, drawn by the real tool on the headless display.
//
// After an intended change of the artwork or the controls, regenerate it:
//   VELA_UPDATE_REFERENCES=1 ./skin_tests --gtest_filter='GalleryReference*'
// and look at tests/skin/reference/gallery.png before committing it. On a
// mismatch the actual picture is left as gallery-actual.png beside the
// test's sandbox folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/gfx/Bitmap.h"
#include "platform/process/ChildProcess.h"
#include "platform/text/TextConversion.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;
using platform::gfx::Bitmap;

// Font rasterisation may differ by a shade between library versions.
constexpr int kChannelTolerance = 8;

class GalleryReferenceTest : public testsupport::SandboxTest {};

TEST_F(GalleryReferenceTest, GalleryLooksAsItsReference) {
    const fs::path actual_path = work() / "gallery.png";
    platform::ChildProcess gallery;
    ASSERT_TRUE(gallery.Start(platform::Utf8ToUtf16("\"" + BinPath("skin-gallery") + "\" --png \"" +
                                                    actual_path.string() + "\"")));
    ASSERT_TRUE(gallery.WaitForExit(60000));
    ASSERT_EQ(gallery.exit_code(), 0);
    std::optional<Bitmap> actual = Bitmap::ReadPng(actual_path.string());
    ASSERT_TRUE(actual.has_value());

    const fs::path reference_path = fs::path(VELA_SOURCE_DIR) / "tests/skin/reference/gallery.png";
    if (std::getenv("VELA_UPDATE_REFERENCES") != nullptr) {
        ASSERT_TRUE(actual->WritePng(reference_path.string()));
        GTEST_SKIP() << "reference written: " << reference_path;
    }
    std::optional<Bitmap> reference = Bitmap::ReadPng(reference_path.string());
    ASSERT_TRUE(reference.has_value()) << reference_path;

    bool same = actual->Dimensions() == reference->Dimensions();
    int differing = 0;
    platform::gfx::Point first{-1, -1};
    if (same) {
        for (int y = 0; y < actual->Height(); ++y) {
            for (int x = 0; x < actual->Width(); ++x) {
                const auto a = actual->GetPixel(x, y);
                const auto r = reference->GetPixel(x, y);
                const bool close = std::abs(platform::gfx::RedOf(a) - platform::gfx::RedOf(r)) <=
                                       kChannelTolerance &&
                                   std::abs(platform::gfx::GreenOf(a) -
                                            platform::gfx::GreenOf(r)) <= kChannelTolerance &&
                                   std::abs(platform::gfx::BlueOf(a) - platform::gfx::BlueOf(r)) <=
                                       kChannelTolerance;
                if (!close) {
                    if (differing++ == 0) {
                        first = platform::gfx::Point{x, y};
                    }
                }
            }
        }
        same = differing == 0;
    }
    if (!same) {
        const fs::path kept = work().parent_path().parent_path() / "gallery-actual.png";
        actual->WritePng(kept.string());
        ADD_FAILURE() << "the gallery differs from " << reference_path << ": " << differing
                      << " pixels, first at " << first.x << "," << first.y << "; size "
                      << actual->Width() << "x" << actual->Height() << " against "
                      << reference->Width() << "x" << reference->Height() << "; actual picture in "
                      << kept;
    }
}

}  // namespace
