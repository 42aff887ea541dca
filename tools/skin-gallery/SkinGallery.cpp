#include "tools/skin-gallery/SkinGallery.h"

#include <string>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"
#include "platform/resources/Resources.h"
#include "platform/window/WindowUi.h"
#include "res/launcher/LauncherResources.h"
#include "res/uninstall/UninstallResources.h"
#include "skin/MaskRegion.h"
#include "skin/SkinButton.h"
#include "skin/SkinProgressControl.h"
#include "skin/SkinText.h"

using platform::MessageLong;
using platform::MessageParam;
using platform::MessageResult;
namespace gfx = platform::gfx;

struct SkinGallery::Label {
    int x = 0;
    int y = 0;
    std::u16string text;
    bool heading = false;
};

namespace {

constexpr int kWidth = 1740;
constexpr int kHeight = 1530;
constexpr gfx::Color kBackground = gfx::Rgb(62, 64, 70);
constexpr gfx::Color kLabelColor = gfx::Rgb(214, 216, 222);
constexpr gfx::Color kHeadingColor = gfx::Rgb(255, 196, 120);
constexpr gfx::Color kWhiteText = gfx::Rgb(255, 255, 255);
constexpr char16_t kFace[] = u"微软雅黑";

enum class State { kNormal, kHover, kPressed, kChecked, kDisabled };
constexpr State kStates[] = {State::kNormal, State::kHover, State::kPressed, State::kChecked,
                             State::kDisabled};
constexpr const char16_t* kStateNames[] = {u"normal", u"hover", u"pressed", u"checked",
                                           u"disabled"};

// Forced the way the pointer and the owner would set it.
void Force(CxSkinButton& button, State state) {
    switch (state) {
        case State::kNormal:
            break;
        case State::kHover:
            button.m_bMouseIn = true;
            button.Invalidate(false);
            break;
        case State::kPressed:
            button.Send(platform::kMsgButtonSetState, 1);
            break;
        case State::kChecked:
            button.Send(platform::kMsgButtonSetCheck, 1);
            break;
        case State::kDisabled:
            button.Enable(false);
            break;
    }
}

std::u16string Percent(int value) {
    std::u16string text;
    for (char c : std::to_string(value)) {
        text.push_back(static_cast<char16_t>(c));
    }
    return text + u" %";
}

gfx::Size SizeOf(int bitmap) {
    return platform::LoadBitmapResource(bitmap).value_or(gfx::Bitmap{}).Dimensions();
}

// The uninstaller's dialog face: its background cut by its shape, as the
// dialog shows it; the dialog's own controls are its children.
class DialogFace : public platform::WindowBase {
  public:
    bool Make(platform::WindowHandle parent, int x, int y) {
        background_ = platform::LoadBitmapResource(129).value_or(gfx::Bitmap{});
        const gfx::Bitmap shape = platform::LoadBitmapResource(130).value_or(gfx::Bitmap{});
        platform::WindowCreation creation;
        creation.style = platform::kStyleChild | platform::kStyleVisible;
        creation.rect = platform::Rect::FromSize(x, y, background_.Width(), background_.Height());
        creation.parent = parent;
        if (!Create(creation)) {
            return false;
        }
        if (auto region = CreateRegionFromMask(shape)) {
            SetRegion(*region, true);
        }
        return true;
    }

    VELA_DECLARE_MESSAGE_MAP();

  protected:
    MessageResult OnPaint(MessageParam, MessageLong) {
        platform::PaintScope scope(Handle());
        scope.Context().StretchBlt(ClientRect(), background_, background_.Bounds());
        return 0;
    }
    MessageResult OnEraseBackground(MessageParam, MessageLong) { return 1; }

  private:
    gfx::Bitmap background_;
};

VELA_MESSAGE_MAP(DialogFace, platform::WindowBase,
                 platform::MapMessage(platform::kMsgPaint, &DialogFace::OnPaint),
                 platform::MapMessage(platform::kMsgEraseBackground,
                                      &DialogFace::OnEraseBackground))

}  // namespace

VELA_MESSAGE_MAP(SkinGallery, platform::WindowBase,
                 platform::MapMessage(platform::kMsgPaint, &SkinGallery::OnPaint),
                 platform::MapMessage(platform::kMsgEraseBackground,
                                      &SkinGallery::OnEraseBackground),
                 platform::MapMessage(platform::kMsgClose, &SkinGallery::OnClose),
                 platform::MapMessage(platform::kMsgNcHitTest, &SkinGallery::OnHitTest),
                 platform::MapMessage(platform::kMsgDestroy, &SkinGallery::OnDestroy))

SkinGallery::SkinGallery() = default;

SkinGallery::~SkinGallery() {
    controls_.clear();  // children before the window they live in
}

bool SkinGallery::Build() {
    platform::WindowCreation creation;
    creation.title = u"Skin gallery";
    creation.style = platform::kStylePopup | platform::kStyleVisible;
    creation.rect = platform::Rect::FromSize(0, 0, kWidth, kHeight);
    if (!Create(creation)) {
        return false;
    }
    AddLabel(20, 10, u"Skin gallery — every skinned control of the launcher and the uninstaller",
             true);
    // Creating loads the pictures at once, so each program's module is
    // installed only while its controls are made.
    const platform::ResourceModule* previous = platform::InstalledResourceModule();
    platform::InstallResourceModule(&LauncherResources());
    BuildLauncher();
    platform::InstallResourceModule(&UninstallResources());
    BuildUninstaller();
    platform::InstallResourceModule(previous);
    Invalidate();
    return true;
}

void SkinGallery::AddLabel(int x, int y, std::u16string text, bool heading) {
    labels_.push_back(Label{x, y, std::move(text), heading});
}

void SkinGallery::BuildLauncher() {
    // The main window's buttons, by normal picture (N−1 mask, N+1 pressed).
    constexpr int kButtons[] = {229, 226, 232, 235, 238, 241, 244, 247, 254, 257, 260, 263};
    int id = 20000;
    AddLabel(20, 46, u"Launcher · main window buttons", true);
    for (int row = 0; row < 5; ++row) {
        const int y = 76 + row * 128;
        AddLabel(20, y + 4, kStateNames[row], false);
        int x = 110;
        for (int n : kButtons) {
            const bool check = kStates[row] == State::kChecked;
            auto* button = CreateSkinButton(Handle(), ++id, x, y, u"", u"", n, n + 1, n, n, n - 1,
                                            false, check);
            controls_.emplace_back(button);
            Force(*button, kStates[row]);
            x += SizeOf(n).width + 10;
        }
    }

    AddLabel(20, 722, u"Launcher · tip buttons", true);
    for (int column = 0; column < 5; ++column) {
        const int x = 110 + column * 160;
        AddLabel(x, 748, kStateNames[column], false);
        const bool check = kStates[column] == State::kChecked;
        auto* first = CreateSkinButton(Handle(), ++id, x, 772, u"", u"", 222, 223, 222, 222, 221,
                                       false, check);
        auto* second = CreateSkinButton(Handle(), ++id, x, 818, u"", u"", 220, 219, 220, 220, 218,
                                        false, check);
        controls_.emplace_back(first);
        controls_.emplace_back(second);
        Force(*first, kStates[column]);
        Force(*second, kStates[column]);
    }

    AddLabel(20, 870, u"Launcher · progress bar", true);
    constexpr int kPositions[] = {0, 25, 60, 100};
    for (int i = 0; i < 4; ++i) {
        const int y = 898 + i * 30;
        AddLabel(20, y + 2, Percent(kPositions[i]), false);
        auto* bar = CreateSkinProgress(Handle(), ++id, 110, y);
        controls_.emplace_back(bar);
        bar->SetRange(100);
        bar->SetPos(kPositions[i]);
        bar->Show(platform::kShowShow);
    }
}

void SkinGallery::BuildUninstaller() {
    int id = 30000;
    // The dialog's first page, made as the dialog makes it.
    AddLabel(20, 1020, u"Uninstaller · dialog", true);
    auto* face = new DialogFace;
    controls_.emplace_back(face);
    if (face->Make(Handle(), 110, 1050)) {
        const platform::WindowHandle dialog = face->Handle();
        controls_.emplace_back(CreateSkinButton(dialog, 10004, 725, 18, u"", u"", 147, 147, 147,
                                                147, 146, false, false));
        controls_.emplace_back(CreateSkinButton(dialog, 10005, 677, 24, u"", u"", 149, 149, 149,
                                                149, 148, false, false));
        controls_.emplace_back(CreateSkinText(
            dialog, 10034, u"Are you sure you want to uninstall the Larkspur Launcher?", 44, 130,
            800, 45, kWhiteText, 30, 700, kFace));
        controls_.emplace_back(CreateSkinText(
            dialog, 10035, u"There\u2019s still plenty of great content waiting for you.", 44, 170,
            500, 30, kWhiteText, 22, 700, kFace));
        controls_.emplace_back(CreateSkinButton(dialog, 10003, 570, 336, u"", u"", 140, 140, 140,
                                                140, 139, false, true));
        controls_.emplace_back(CreateSkinButton(dialog, 10004, 380, 336, u"", u"", 138, 138, 138,
                                                138, 137, false, true));
    }

    // Every button of the uninstaller and its message box, in every state.
    constexpr int kImages[][2] = {{147, 146}, {149, 148}, {140, 139},
                                  {138, 137}, {145, 144}, {153, 152}};
    AddLabel(900, 1020, u"Uninstaller · buttons", true);
    for (int row = 0; row < 5; ++row) {
        const int y = 1050 + row * 56;
        AddLabel(900, y + 14, kStateNames[row], false);
        int x = 990;
        for (const auto& image : kImages) {
            const bool check = kStates[row] == State::kChecked;
            auto* button = CreateSkinButton(Handle(), ++id, x, y, u"", u"", image[0], image[0],
                                            image[0], image[0], image[1], false, check);
            controls_.emplace_back(button);
            Force(*button, kStates[row]);
            x += SizeOf(image[0]).width + 12;
        }
    }

    AddLabel(900, 1334, u"Uninstaller · farewell text", true);
    controls_.emplace_back(CreateSkinText(Handle(), ++id,
                                          u"We look forward to seeing you again soon!", 990, 1360,
                                          480, 30, kWhiteText, 22, 700, kFace));

    AddLabel(900, 1398, u"Uninstaller · progress bar", true);
    constexpr int kPositions[] = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        const int y = 1424 + i * 25;
        // As the removal posts it: file i of 3.
        AddLabel(900, y, Percent(kPositions[i] * 100 / 3), false);
        auto* bar = CreateSkinProgress(Handle(), ++id, 990, y);
        controls_.emplace_back(bar);
        bar->SetRange(3);
        bar->SetPos(kPositions[i]);
        bar->Show(platform::kShowShow);
    }
}

MessageResult SkinGallery::OnPaint(MessageParam, MessageLong) {
    platform::PaintScope scope(Handle());
    gfx::DeviceContext& dc = scope.Context();
    dc.FillRect(ClientRect(), kBackground);
    static const std::shared_ptr<const gfx::Font> heading =
        gfx::Font::Create(gfx::FontDescription{20, 700, false, false, kFace});
    static const std::shared_ptr<const gfx::Font> label =
        gfx::Font::Create(gfx::FontDescription{16, 400, false, false, kFace});
    dc.SetBackgroundMode(gfx::BackgroundMode::kTransparent);
    for (const Label& item : labels_) {
        dc.SelectFont(item.heading ? heading.get() : label.get());
        dc.SetTextColor(item.heading ? kHeadingColor : kLabelColor);
        if (item.heading) {
            dc.FillRect(platform::Rect::FromSize(item.x, item.y + 24, 260, 1), kHeadingColor);
        }
        platform::Rect r = platform::Rect::FromSize(item.x, item.y, kWidth - item.x, 30);
        dc.DrawText(item.text, r, gfx::text_flags::kSingleLine | gfx::text_flags::kNoPrefix);
    }
    dc.SelectFont(nullptr);
    return 0;
}

MessageResult SkinGallery::OnEraseBackground(MessageParam, MessageLong) {
    return 1;
}

MessageResult SkinGallery::OnClose(MessageParam, MessageLong) {
    DestroyWindow();
    return 0;
}

// Taller than most screens: the gallery is dragged by its background, as the
// programs' own windows are by their pictures.
MessageResult SkinGallery::OnHitTest(MessageParam, MessageLong) {
    return platform::kHitCaption;
}

MessageResult SkinGallery::OnDestroy(MessageParam, MessageLong) {
    if (quit_on_close_) {
        platform::PostQuitToThread(0);
    }
    return DefaultProcessing();
}
