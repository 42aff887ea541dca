#include "platform/display/DisplayBackend.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "platform/display/DisplayInternal.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/display/sdl/SdlDisplay.h"
#include "platform/window/WindowUiInternal.h"

namespace platform::display {
namespace {

std::mutex& BackendMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

// Never destroyed: threads that outlive main may still ask for the screen.
DisplayBackend* g_backend = nullptr;
std::atomic<DisplayBackend*> g_chosen{nullptr};

std::unique_ptr<DisplayBackend> ChooseBackend() {
    const char* wanted = std::getenv("VELA_DISPLAY");
    const std::string_view name = wanted != nullptr ? wanted : "";
    bool use_sdl = false;
    if (name == "sdl") {
        use_sdl = true;
    } else if (name != "headless") {
        const char* display = std::getenv("DISPLAY");
        use_sdl = display != nullptr && *display != '\0';
    }
    if (use_sdl) {
        if (std::unique_ptr<DisplayBackend> sdl = sdl::CreateSdlDisplay()) {
            return sdl;
        }
    }
    return std::make_unique<headless::HeadlessDisplay>();
}

}  // namespace

DisplayBackend& Backend() {
    if (DisplayBackend* chosen = g_chosen.load(std::memory_order_acquire)) {
        return *chosen;
    }
    std::lock_guard<std::mutex> lock(BackendMutex());
    if (g_backend == nullptr) {
        g_backend = ChooseBackend().release();
        g_chosen.store(g_backend, std::memory_order_release);
    }
    return *g_backend;
}

std::unique_ptr<DisplayBackend> ReplaceBackend(std::unique_ptr<DisplayBackend> backend) {
    std::lock_guard<std::mutex> lock(BackendMutex());
    std::unique_ptr<DisplayBackend> old(g_backend);
    g_backend = backend.release();
    g_chosen.store(g_backend, std::memory_order_release);
    return old;
}

void DeliverRawInput(const RawInput& input) {
    window_internal::QueueRawInput(input);
}

namespace internal {

bool BackendNeedsPumping() {
    DisplayBackend* chosen = g_chosen.load(std::memory_order_acquire);
    return chosen != nullptr && chosen->NeedsPumping();
}

void PumpBackend(std::uint32_t timeout_ms) {
    if (DisplayBackend* chosen = g_chosen.load(std::memory_order_acquire)) {
        chosen->PumpEvents(timeout_ms);
    }
}

}  // namespace internal
}  // namespace platform::display
