#include "tests/support/HeadlessDisplayFixture.h"

#include "platform/window/Message.h"

namespace testsupport {

int PumpUntilIdle(int max_messages) {
    int dispatched = 0;
    platform::Message message;
    while (platform::PeekNextMessage(message, true)) {
        if (message.message == platform::kMsgQuit) {
            platform::PostQuitToThread(static_cast<int>(message.wParam));
            break;
        }
        platform::DispatchMessageToWindow(message);
        if (++dispatched > max_messages) {
            ADD_FAILURE() << "the queue never ran dry: message " << message.message
                          << " keeps coming";
            break;
        }
    }
    return dispatched;
}

ScopedHeadlessDisplay::ScopedHeadlessDisplay() {
    auto fresh = std::make_unique<platform::display::headless::HeadlessDisplay>();
    display_ = fresh.get();
    previous_ = platform::display::ReplaceBackend(std::move(fresh));
}

ScopedHeadlessDisplay::~ScopedHeadlessDisplay() {
    platform::display::ReplaceBackend(std::move(previous_));
}

}  // namespace testsupport
