// skin-gallery [--png FILE]
//
// Without options: the gallery on the current display until it is closed.
// With --png: drawn on the headless display, written as a PNG, and ended.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/display/DisplayBackend.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/window/Message.h"
#include "platform/window/WindowUi.h"
#include "tools/skin-gallery/SkinGallery.h"

namespace {

void PumpPending() {
    platform::Message message;
    for (int i = 0; i < 100000 && platform::PeekNextMessage(message, true); ++i) {
        platform::DispatchMessageToWindow(message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string png;
    if (argc == 3 && std::string(argv[1]) == "--png") {
        png = argv[2];
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: skin-gallery [--png FILE]\n");
        return 2;
    }
    if (!png.empty()) {
        // Headless whatever the environment says: the picture must not
        // depend on a desktop.
        platform::display::ReplaceBackend(
            std::make_unique<platform::display::headless::HeadlessDisplay>());
    }
    SkinGallery gallery;
    if (!gallery.Build()) {
        std::fprintf(stderr, "skin-gallery: cannot make the window\n");
        return 1;
    }
    if (png.empty()) {
        gallery.QuitOnClose(true);
        return platform::RunWindowMessageLoop();
    }
    PumpPending();
    gallery.UpdateNow();
    PumpPending();
    auto* display = platform::display::headless::Current();
    if (display == nullptr || !display->WriteWindowPng(gallery.Handle(), png)) {
        std::fprintf(stderr, "skin-gallery: cannot write %s\n", png.c_str());
        return 1;
    }
    return 0;
}
