// The skin gallery: one window holding every skinned control of both
// programs in each of its states, in labelled sections over a neutral
// background, for looking at the artwork and the controls together. States
// are forced through the controls' own members and messages.
//
// Thread rules: the thread that builds it owns every window of it.
#pragma once

#include <memory>
#include <vector>

#include "platform/window/WindowBase.h"

class SkinGallery : public platform::WindowBase {
  public:
    SkinGallery();
    ~SkinGallery() override;

    // Creates the window (shown) and every control; false if it cannot.
    bool Build();
    // Ends the thread's message loop when the window is closed.
    void QuitOnClose(bool quit) { quit_on_close_ = quit; }

    VELA_DECLARE_MESSAGE_MAP();

  protected:
    platform::MessageResult OnPaint(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnEraseBackground(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnClose(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnHitTest(platform::MessageParam, platform::MessageLong);
    platform::MessageResult OnDestroy(platform::MessageParam, platform::MessageLong);

  private:
    struct Label;
    void BuildLauncher();
    void BuildUninstaller();
    void AddLabel(int x, int y, std::u16string text, bool heading);

    std::vector<std::unique_ptr<platform::WindowBase>> controls_;
    std::vector<Label> labels_;
    bool quit_on_close_ = false;
};
