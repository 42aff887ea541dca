// Windows for the window layer's tests: each carries a Probe (through its
// creation parameter) that notes the messages it gets, fills its client area
// with one colour when it paints and answers hit tests as told.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/window/WindowUi.h"

namespace testwindows {

using namespace platform;

struct Probe {
    Probe() = default;
    explicit Probe(gfx::Color colour) : fill(colour) {}

    gfx::Color fill = gfx::kWhite;
    bool paints = true;  // false: kMsgPaint is ignored
    MessageResult hit = kHitClient;
    int passes = 0;  // kMsgPaint seen
    std::vector<Message> seen;

    std::vector<Message> Of(std::uint32_t message) const {
        std::vector<Message> found;
        std::copy_if(seen.begin(), seen.end(), std::back_inserter(found),
                     [message](const Message& m) { return m.message == message; });
        return found;
    }
    // Mouse, key, focus and capture messages only, in order.
    std::vector<std::uint32_t> InputNumbers() const {
        std::vector<std::uint32_t> numbers;
        for (const Message& m : seen) {
            if ((m.message >= kMsgMouseMove && m.message <= kMsgMouseLeave) ||
                m.message == kMsgKeyDown || m.message == kMsgKeyUp || m.message == kMsgSetFocus ||
                m.message == kMsgKillFocus) {
                numbers.push_back(m.message);
            }
        }
        return numbers;
    }
};

inline MessageResult ProbeProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                    MessageLong lParam) {
    if (message == kMsgCreate) {
        SetWindowUserData(window, lParam);
    }
    auto* probe = reinterpret_cast<Probe*>(GetWindowUserData(window));
    if (probe == nullptr) {
        return DefaultWindowProcedure(window, message, wParam, lParam);
    }
    if (message != kMsgNcHitTest) {
        probe->seen.push_back(Message{window, message, wParam, lParam});
    }
    switch (message) {
        case kMsgPaint:
            ++probe->passes;
            if (probe->paints) {
                PaintScope paint(window);
                paint.Context().FillRect(GetClientRectOf(window), probe->fill);
            }
            return 0;
        case kMsgNcHitTest:
            return probe->hit;
        case kMsgDestroy:
            SetWindowUserData(window, 0);
            return 0;
        default:
            return DefaultWindowProcedure(window, message, wParam, lParam);
    }
}

constexpr char16_t kProbeClass[] = u"TestWindows.Probe";
constexpr char16_t kDoubleClickProbeClass[] = u"TestWindows.DoubleClickProbe";

inline void RegisterProbeClasses() {
    static const bool registered = [] {
        RegisterWindowClassEx(kProbeClass, &ProbeProcedure, 0);
        RegisterWindowClassEx(kDoubleClickProbeClass, &ProbeProcedure, kClassDoubleClicks);
        return true;
    }();
    (void)registered;
}

struct ProbeSetup {
    Rect rect;
    std::uint32_t style = kStylePopup | kStyleVisible;
    WindowHandle parent = 0;
    std::uint32_t ex_style = 0;
    bool double_clicks = false;
    int id = 0;
};

inline WindowHandle Make(Probe& probe, const ProbeSetup& setup) {
    RegisterProbeClasses();
    WindowCreation creation;
    creation.class_name = setup.double_clicks ? kDoubleClickProbeClass : kProbeClass;
    creation.style = setup.style;
    creation.ex_style = setup.ex_style;
    creation.rect = setup.rect;
    creation.parent = setup.parent;
    creation.id = setup.id;
    creation.create_param = reinterpret_cast<MessageLong>(&probe);
    return CreateWindowWith(creation);
}

inline WindowHandle MakeChild(Probe& probe, WindowHandle parent, Rect rect,
                              std::uint32_t extra_style = kStyleVisible) {
    ProbeSetup setup;
    setup.rect = rect;
    setup.style = kStyleChild | extra_style;
    setup.parent = parent;
    return Make(probe, setup);
}

}  // namespace testwindows
