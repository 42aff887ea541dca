// The two programs' compiled resources: every bitmap at its size, masks whose
// shapes match their pictures, pressed pictures that differ, a QR picture
// that a real decoder reads, and the strings, menus and dialogs as the
// windows expect them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VelaConfig.h"
#include "platform/gfx/Bitmap.h"
#include "platform/process/ChildProcess.h"
#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"
#include "platform/window/MessageIds.h"
#include "res/launcher/LauncherResources.h"
#include "res/uninstall/UninstallResources.h"
#include "tests/support/Sandbox.h"

namespace {

namespace gfx = platform::gfx;

struct SizedBitmap {
    int id;
    int width;
    int height;
};

// Every bitmap the windows load, per program.
const SizedBitmap kLauncherBitmaps[] = {
    {214, 1280, 720}, {228, 37, 37},  {229, 37, 37},   {230, 37, 37},   {225, 37, 37},
    {226, 37, 37},    {227, 37, 37},  {231, 39, 38},   {232, 39, 38},   {233, 39, 38},
    {234, 39, 38},    {235, 39, 38},  {236, 39, 38},   {237, 39, 38},   {238, 39, 38},
    {239, 39, 38},    {240, 39, 38},  {241, 39, 38},   {242, 39, 38},   {243, 192, 54},
    {244, 192, 54},   {245, 192, 54}, {246, 204, 119}, {247, 204, 119}, {248, 204, 119},
    {253, 39, 38},    {254, 39, 38},  {255, 39, 38},   {256, 39, 38},   {257, 39, 38},
    {258, 39, 38},    {259, 192, 54}, {260, 192, 54},  {261, 192, 54},  {262, 192, 54},
    {263, 192, 54},   {264, 192, 54}, {250, 1190, 17}, {251, 1190, 17}, {252, 1190, 17},
    {217, 428, 263},  {218, 139, 39}, {219, 139, 39},  {220, 139, 39},  {221, 139, 39},
    {222, 139, 39},   {223, 139, 39},
};
const SizedBitmap kUninstallBitmaps[] = {
    {129, 760, 424}, {130, 760, 424}, {146, 15, 16},  {147, 15, 16},  {148, 17, 4},
    {149, 17, 4},    {139, 160, 48},  {140, 160, 48}, {137, 160, 48}, {138, 160, 48},
    {144, 160, 48},  {145, 160, 48},  {141, 700, 14}, {142, 700, 14}, {143, 700, 14},
    {150, 486, 272}, {151, 486, 272}, {152, 160, 48}, {153, 160, 48},
};

enum class Outline { kRound, kRounded, kGlyph };

// A picture with its mask and, for the launcher's buttons, its pressed picture.
struct Shaped {
    const char* what;
    int mask;
    int normal;
    int pressed;  // 0: one picture for every state
    Outline outline;
};

const Shaped kLauncherShapes[] = {
    {"minimise", 228, 229, 230, Outline::kRound},
    {"tray", 225, 226, 227, Outline::kRound},
    {"link 1", 231, 232, 233, Outline::kRound},
    {"link 2", 234, 235, 236, Outline::kRound},
    {"link 3", 237, 238, 239, Outline::kRound},
    {"link 4", 240, 241, 242, Outline::kRound},
    {"link 5", 253, 254, 255, Outline::kRound},
    {"link 6", 256, 257, 258, Outline::kRound},
    {"pre-register", 243, 244, 245, Outline::kRounded},
    {"scan", 259, 260, 261, Outline::kRounded},
    {"official site", 262, 263, 264, Outline::kRounded},
    {"QR picture", 246, 247, 248, Outline::kRounded},
    {"tip first button", 221, 222, 223, Outline::kRounded},
    {"tip second button", 218, 220, 219, Outline::kRounded},
    {"progress empty", 251, 250, 0, Outline::kRounded},
    {"progress full", 251, 252, 0, Outline::kRounded},
};
const Shaped kUninstallShapes[] = {
    {"window", 130, 129, 0, Outline::kRounded},
    {"close", 146, 147, 0, Outline::kGlyph},
    {"minimise", 148, 149, 0, Outline::kRounded},
    {"uninstall", 139, 140, 0, Outline::kRounded},
    {"cancel", 137, 138, 0, Outline::kRounded},
    {"finish", 144, 145, 0, Outline::kRounded},
    {"progress empty", 143, 141, 0, Outline::kRounded},
    {"progress full", 143, 142, 0, Outline::kRounded},
    {"message box", 151, 150, 0, Outline::kRounded},
    {"ok", 152, 153, 0, Outline::kRounded},
};

bool IsWhite(const gfx::Bitmap& b, int x, int y) {
    return b.GetPixel(x, y) == gfx::kWhite;
}

class ProgramResourcesTest : public testsupport::SandboxTest {
  protected:
    void TearDown() override {
        platform::InstallResourceModule(nullptr);
        SandboxTest::TearDown();
    }

    static gfx::Bitmap Load(int id) {
        std::optional<gfx::Bitmap> bitmap = platform::LoadBitmapResource(id);
        EXPECT_TRUE(bitmap.has_value()) << "bitmap " << id;
        return bitmap.value_or(gfx::Bitmap());
    }

    static void CheckSizes(std::span<const SizedBitmap> table) {
        for (const SizedBitmap& entry : table) {
            std::optional<gfx::Bitmap> bitmap = platform::LoadBitmapResource(entry.id);
            ASSERT_TRUE(bitmap.has_value()) << "bitmap " << entry.id;
            EXPECT_EQ(bitmap->Dimensions(), (gfx::Size{entry.width, entry.height}))
                << "bitmap " << entry.id;
        }
    }

    static void CheckShapes(std::span<const Shaped> table) {
        for (const Shaped& entry : table) {
            SCOPED_TRACE(entry.what);
            gfx::Bitmap mask = Load(entry.mask);
            gfx::Bitmap normal = Load(entry.normal);
            ASSERT_EQ(mask.Dimensions(), normal.Dimensions());
            const int w = mask.Width(), h = mask.Height();
            int inside = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    gfx::Color c = mask.GetPixel(x, y);
                    ASSERT_TRUE(c == gfx::kWhite || c == gfx::kBlack)
                        << "mask pixel " << x << "," << y << " is neither inside nor outside";
                    if (c == gfx::kBlack) {
                        ++inside;
                        // White in the picture would read as a hole wherever
                        // the picture itself is used as a shape.
                        EXPECT_FALSE(IsWhite(normal, x, y)) << "white at " << x << "," << y;
                    }
                }
            }
            int least = entry.outline == Outline::kGlyph ? w * h / 5 : w * h / 3;
            EXPECT_GT(inside, least) << "the shape covers too little of its picture";
            if (entry.outline != Outline::kGlyph) {
                for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
                    EXPECT_TRUE(IsWhite(mask, x, y)) << "corner " << x << "," << y;
                }
                EXPECT_FALSE(IsWhite(mask, w / 2, h / 2)) << "centre";
            } else {
                EXPECT_LT(inside, w * h * 3 / 4) << "a glyph outline is not a block";
            }
            if (entry.outline == Outline::kRound) {
                // A circle: mirror-symmetric both ways, and its middle row and
                // column reach nearly to the edges.
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        ASSERT_EQ(IsWhite(mask, x, y), IsWhite(mask, w - 1 - x, y))
                            << x << "," << y;
                    }
                }
                int side = std::min(w, h);
                for (int y = 0; y < side; ++y) {
                    for (int x = 0; x < side; ++x) {
                        ASSERT_EQ(IsWhite(mask, x, y), IsWhite(mask, x, side - 1 - y))
                            << x << "," << y;
                    }
                }
                EXPECT_FALSE(IsWhite(mask, 1, h / 2));
                EXPECT_FALSE(IsWhite(mask, w / 2, 1));
            }
            if (entry.pressed != 0) {
                gfx::Bitmap pressed = Load(entry.pressed);
                ASSERT_EQ(pressed.Dimensions(), normal.Dimensions());
                int differing = 0;
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        differing +=
                            !IsWhite(mask, x, y) && normal.GetPixel(x, y) != pressed.GetPixel(x, y);
                    }
                }
                EXPECT_GT(differing, inside / 4) << "pressed looks like normal";
            }
        }
    }

    // Runs a program with its output captured; the exit code and the output.
    static std::pair<int, std::string> Run(const std::vector<std::u16string>& args) {
        platform::ChildProcess child;
        platform::ProcessStartOptions options;
        options.capture_output = true;
        if (!child.Start(platform::BuildCommandLine(args), options)) {
            ADD_FAILURE() << "cannot start " << platform::Utf16ToUtf8(args[0]);
            return {-1, ""};
        }
        std::string output;
        while (!child.WaitForExit(20)) {
            output += child.ReadOutput(1 << 16);
        }
        for (std::string chunk; !(chunk = child.ReadOutput(1 << 16)).empty();) {
            output += chunk;
        }
        return {child.exit_code().value_or(-1), output};
    }
};

TEST_F(ProgramResourcesTest, ModulesNameTheirPrograms) {
    EXPECT_EQ(LauncherResources().program, u"Launcher");
    EXPECT_EQ(UninstallResources().program, u"VelaUninstall");
}

TEST_F(ProgramResourcesTest, LauncherBitmapsHaveTheirSizes) {
    platform::InstallResourceModule(&LauncherResources());
    CheckSizes(kLauncherBitmaps);
    EXPECT_EQ(LauncherResources().bitmaps.size(), std::size(kLauncherBitmaps));
}

TEST_F(ProgramResourcesTest, UninstallBitmapsHaveTheirSizes) {
    platform::InstallResourceModule(&UninstallResources());
    CheckSizes(kUninstallBitmaps);
    EXPECT_EQ(UninstallResources().bitmaps.size(), std::size(kUninstallBitmaps));
}

TEST_F(ProgramResourcesTest, LauncherMasksMatchTheirPictures) {
    platform::InstallResourceModule(&LauncherResources());
    CheckShapes(kLauncherShapes);
}

TEST_F(ProgramResourcesTest, UninstallMasksMatchTheirPictures) {
    platform::InstallResourceModule(&UninstallResources());
    CheckShapes(kUninstallShapes);
    // The minimise bar is a bar: its whole middle row is inside.
    gfx::Bitmap bar = Load(148);
    for (int x = 1; x < bar.Width() - 1; ++x) {
        EXPECT_FALSE(IsWhite(bar, x, 2)) << x;
    }
}

TEST_F(ProgramResourcesTest, IconsAreRoundAndWhiteOutside) {
    for (const platform::ResourceModule* module : {&LauncherResources(), &UninstallResources()}) {
        platform::InstallResourceModule(module);
        std::optional<gfx::Icon> icon = platform::LoadIconResource(128);
        ASSERT_TRUE(icon.has_value());
        EXPECT_EQ(icon->image.Dimensions(), (gfx::Size{32, 32}));
        EXPECT_FALSE(icon->shape.Contains(0, 0));
        EXPECT_FALSE(icon->shape.Contains(31, 31));
        EXPECT_TRUE(icon->shape.Contains(16, 16));
        EXPECT_TRUE(icon->shape.Contains(1, 16));
        EXPECT_GT(icon->shape.Area(), 32 * 32 * 2 / 3);
    }
}

TEST_F(ProgramResourcesTest, QrPicturesDecodeToTheOfficialAddress) {
    platform::InstallResourceModule(&LauncherResources());
    for (int id : {247, 248}) {
        gfx::Bitmap picture = Load(id);
        std::string path = (work() / ("qr" + std::to_string(id) + ".png")).string();
        ASSERT_TRUE(picture.WritePng(platform::PathArg::Native(path)));
        auto [code, output] = Run({u"zbarimg", u"--quiet", u"--raw", platform::Utf8ToUtf16(path)});
        EXPECT_EQ(code, 0) << output;
        // zbarimg's own complaints (no system bus here) share the pipe, so
        // look for the decoded text as a line of its own.
        EXPECT_NE(("\n" + output).find("\n" + std::string(VELA_LINK_OFFICIAL) + "\n"),
                  std::string::npos)
            << "bitmap " << id << ": " << output;
    }
}

TEST_F(ProgramResourcesTest, LauncherTextsMenuAndDialogs) {
    platform::InstallResourceModule(&LauncherResources());
    EXPECT_EQ(platform::LoadStringResource(101), u"关于 VelaLauncher(&A)...");

    const platform::MenuTemplate* menu = platform::FindMenuResource(215);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->items.size(), 1u);
    const platform::MenuItemTemplate& tray = menu->items[0];
    EXPECT_EQ(tray.text, u"托盘");
    ASSERT_EQ(tray.popup.size(), 2u);
    EXPECT_EQ(tray.popup[0].command, 32772u);
    EXPECT_EQ(tray.popup[0].text, u"Open");
    EXPECT_EQ(tray.popup[1].command, 32773u);
    EXPECT_EQ(tray.popup[1].text, u"Exit");

    const platform::DialogTemplate* main = platform::FindDialogResource(102);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->style,
              platform::kStylePopup | platform::kStyleVisible | platform::kStyleSysMenu);
    EXPECT_EQ(main->style & platform::kStyleCaption, 0u);
    EXPECT_TRUE(main->controls.empty());
    EXPECT_EQ(main->font_points, 9);
    EXPECT_EQ(main->font_face, u"MS Shell Dlg");

    const platform::DialogTemplate* tip = platform::FindDialogResource(216);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->style, platform::kStylePopup | platform::kStyleSysMenu);
    EXPECT_EQ(tip->font_points, 8);
    EXPECT_EQ(tip->font_face, u"MS Shell Dlg");
    ASSERT_EQ(tip->controls.size(), 3u);
    struct Expected {
        int id;
        std::u16string_view class_name;
    } expected[] = {{1035, u"Static"}, {1034, u"Button"}, {1036, u"Button"}};
    for (std::size_t i = 0; i < 3; ++i) {
        const platform::DialogControlTemplate& control = tip->controls[i];
        EXPECT_EQ(control.id, expected[i].id);
        EXPECT_EQ(control.class_name, expected[i].class_name);
        EXPECT_NE(control.style & platform::kStyleChild, 0u);
        if (control.class_name == u"Button") {
            EXPECT_EQ(control.style & platform::kButtonTypeMask, platform::kButtonPush);
        }
    }
}

TEST_F(ProgramResourcesTest, UninstallTextsAndDialogs) {
    platform::InstallResourceModule(&UninstallResources());
    EXPECT_EQ(platform::LoadStringResource(101), u"关于 VelaUninstall(&A)...");
    EXPECT_EQ(platform::LoadStringResource(102), u"Game installation not found");
    EXPECT_EQ(platform::LoadStringResource(103),
              u"The program is currently running. Please close it before uninstalling.");
    EXPECT_EQ(platform::FindMenuResource(215), nullptr);

    const platform::DialogTemplate* main = platform::FindDialogResource(102);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->style,
              platform::kStylePopup | platform::kStyleVisible | platform::kStyleSysMenu);
    EXPECT_EQ(main->ex_style, platform::kExStyleAppWindow);
    EXPECT_TRUE(main->controls.empty());

    const platform::DialogTemplate* message = platform::FindDialogResource(133);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->style, platform::kStylePopup | platform::kStyleSysMenu);
    EXPECT_EQ(message->width, 316);
    EXPECT_EQ(message->height, 182);
    EXPECT_TRUE(message->controls.empty());
}

}  // namespace
