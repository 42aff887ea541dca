#include "platform/display/sdl/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/display/sdl/ScreenLayout.h"
#include "platform/display/sdl/SdlInput.h"
#include "platform/display/sdl/SdlWindow.h"
#include "platform/display/sdl/X11PointerGrab.h"
#include "platform/display/sdl/X11Tray.h"
#include "platform/text/TextConversion.h"

namespace platform::display::sdl {

namespace {

// A stuck backend thread must not hang the caller of a query for good.
constexpr auto kQueryTimeout = std::chrono::seconds(10);
// A new window waits this long for its shape and first picture before it
// appears anyway.
constexpr Uint32 kFirstPictureWaitMs = 500;

gfx::Rect Bounding(const gfx::Rect& a, const gfx::Rect& b) {
    if (a.IsEmpty()) {
        return b;
    }
    if (b.IsEmpty()) {
        return a;
    }
    return gfx::Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

}  // namespace

class SdlDisplay::Loop {
  public:
    bool Start();
    // Idempotent. Also run at exit, where the libraries SDL and the GL
    // driver use are being finalised and must not be used any more: there
    // the commands still queued are dropped and the windows left to the
    // server (SDL_Quit would also unload the GL driver under the leak
    // checker's feet).
    void Stop(bool tear_down = true);

    // Queues a command for the backend thread; false, and dropped, once it
    // has ended.
    bool Post(std::function<void()> command);
    // Runs f on the backend thread and returns its result; fallback when the
    // thread has ended or does not answer in time.
    template <class T>
    T Query(std::function<T()> f, T fallback) const;

    void Stage(WindowHandle window, const gfx::Bitmap& surface, const gfx::Rect& dirty);

    // Backend thread.
    void Show(WindowHandle window, const gfx::Rect& rect, ShowState state, bool topmost);
    void Move(WindowHandle window, const gfx::Rect& rect);
    void Shape(WindowHandle window, const std::optional<gfx::Region>& shape);
    void RaiseWindow(WindowHandle window, bool topmost);
    void Destroy(WindowHandle window);
    void Grab(WindowHandle window);
    ScreenInfo ReadScreen() const;
    gfx::Point ReadCursor() const;

    X11Tray* tray() { return tray_.get(); }

  private:
    void Run(std::promise<bool>& started);
    void Handle(const SDL_Event& event);
    void Flush(WindowHandle window);
    void Renumber(WindowHandle window, std::uint32_t before);
    void KeepTopmostOnTop();
    void Appear(WindowHandle window, ShowState state, bool topmost);
    void ShowOverdue();
    // Takes the grab once its window is on the screen, again after the window
    // was rebuilt, and lets go while it is hidden.
    void KeepGrab();
    bool GrabPending() const;
    void Deliver(RawInput input, std::uint32_t native_id, int x, int y, bool located);
    WindowHandle HandleOf(std::uint32_t native_id) const;

    static void StopLiveLoopAtExit();
    static std::mutex& LiveLoopMutex();
    static Loop* live_loop_;  // guarded by LiveLoopMutex

    std::thread thread_;
    std::thread::id thread_id_;
    Uint32 wake_event_ = 0;

    std::mutex stop_mutex_;     // guards thread_ against two stops at once
    mutable std::mutex mutex_;  // guards queue_, running_, staged_
    std::deque<std::function<void()>> queue_;
    bool running_ = false;
    bool quit_ = false;  // backend thread
    std::atomic<bool> abandon_{false};
    bool exit_hook_after_driver_ = false;  // backend thread
    struct Staged {
        gfx::Bitmap surface;
        gfx::Rect dirty;
        bool queued = false;
    };
    std::unordered_map<WindowHandle, Staged> staged_;

    // Backend thread only.
    std::unordered_map<WindowHandle, std::unique_ptr<SdlWindow>> windows_;
    std::unordered_map<WindowHandle, std::optional<gfx::Region>> early_shapes_;
    std::unordered_map<std::uint32_t, WindowHandle> by_native_;
    std::vector<WindowHandle> stacking_;  // bottom to top, as we raised them
    // New windows not mapped yet: the layer sends the shape and the first
    // picture right after the show, and mapping before them would flash an
    // unshaped black window.
    struct Awaiting {
        ShowState state = ShowState::kHidden;
        bool topmost = false;
        Uint32 since = 0;
    };
    std::unordered_map<WindowHandle, Awaiting> awaiting_;
    std::unique_ptr<X11Tray> tray_;
    WindowHandle grab_window_ = 0;
    std::uint32_t grab_native_ = 0;  // the native window the grab was taken on
    X11PointerGrab grab_;
};

SdlDisplay::Loop* SdlDisplay::Loop::live_loop_ = nullptr;

std::mutex& SdlDisplay::Loop::LiveLoopMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

void SdlDisplay::Loop::StopLiveLoopAtExit() {
    Loop* loop = nullptr;
    {
        std::lock_guard<std::mutex> lock(LiveLoopMutex());
        loop = live_loop_;
    }
    if (loop != nullptr) {
        loop->Stop(false);
    }
}

bool SdlDisplay::Loop::Start() {
    std::promise<bool> started;
    std::future<bool> result = started.get_future();
    thread_ = std::thread([this, &started] { Run(started); });
    if (!result.get()) {
        thread_.join();
        return false;
    }
    static std::once_flag at_exit;
    std::call_once(at_exit, [] { std::atexit(StopLiveLoopAtExit); });
    std::lock_guard<std::mutex> lock(LiveLoopMutex());
    live_loop_ = this;
    return true;
}

void SdlDisplay::Loop::Stop(bool tear_down) {
    {
        std::lock_guard<std::mutex> lock(LiveLoopMutex());
        if (live_loop_ == this) {
            live_loop_ = nullptr;
        }
    }
    std::lock_guard<std::mutex> lock(stop_mutex_);
    if (!thread_.joinable()) {
        return;
    }
    if (!tear_down) {
        abandon_ = true;
    }
    if (std::this_thread::get_id() == thread_id_) {
        quit_ = true;  // exit from within a command: the loop ends after it
        thread_.detach();
        return;
    }
    Post([this] { quit_ = true; });
    thread_.join();
}

bool SdlDisplay::Loop::Post(std::function<void()> command) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) {
        return false;
    }
    const bool idle = queue_.empty();
    queue_.push_back(std::move(command));
    if (idle) {
        SDL_Event wake{};
        wake.type = wake_event_;
        SDL_PushEvent(&wake);
    }
    return true;
}

template <class T>
T SdlDisplay::Loop::Query(std::function<T()> f, T fallback) const {
    if (std::this_thread::get_id() == thread_id_) {
        return f();
    }
    auto answer = std::make_shared<std::promise<T>>();
    std::future<T> future = answer->get_future();
    if (!const_cast<Loop*>(this)->Post([answer, f] { answer->set_value(f()); }) ||
        future.wait_for(kQueryTimeout) != std::future_status::ready) {
        return fallback;
    }
    try {
        return future.get();
    } catch (const std::future_error&) {
        return fallback;  // the loop ended with the query still queued
    }
}

void SdlDisplay::Loop::Run(std::promise<bool>& started) {
    thread_id_ = std::this_thread::get_id();
    // The program handles its own signals, keeps the screensaver and takes
    // a click that activates a window as a click.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "sdl display: %s\n", SDL_GetError());
        started.set_value(false);
        return;
    }
    wake_event_ = SDL_RegisterEvents(1);
    // Before any other thread of ours talks to the X server.
    X11Tray::InstallErrorHandler();
    tray_ = std::make_unique<X11Tray>();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = true;
    }
    started.set_value(true);

    while (!quit_ && !abandon_) {
        SDL_Event event;
        // The grab's own connection is read between SDL's events.
        const int wait_ms = grab_.Held() ? 15 : !awaiting_.empty() || GrabPending() ? 50 : 1000;
        if (SDL_WaitEventTimeout(&event, wait_ms) != 0) {
            do {
                Handle(event);
            } while (!abandon_ && SDL_PollEvent(&event) != 0);
        }
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            batch.swap(queue_);
        }
        for (auto& command : batch) {
            if (abandon_) {
                break;
            }
            command();
        }
        if (abandon_) {
            break;
        }
        ShowOverdue();
        KeepGrab();
        for (RawInput input : grab_.ReadInput()) {
            input.window = grab_window_;
            DeliverRawInput(input);
        }
    }

    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
        queue_.clear();
        staged_.clear();
    }
    // The tray object stays: other threads may still call it, and it keeps
    // its model once closed.
    tray_->Close();
    if (!abandon_) {
        windows_.clear();
        SDL_Quit();
    }
}

void SdlDisplay::Loop::Stage(WindowHandle window, const gfx::Bitmap& surface,
                             const gfx::Rect& dirty) {
    if (surface.IsEmpty()) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) {
        return;
    }
    Staged& staged = staged_[window];
    const gfx::Rect part = dirty.Intersect(surface.Bounds());
    if (staged.surface.Dimensions() != surface.Dimensions()) {
        staged.surface = surface;
        staged.dirty = surface.Bounds();
    } else if (!part.IsEmpty()) {
        const std::size_t offset = static_cast<std::size_t>(part.left) * 3;
        const std::size_t bytes = static_cast<std::size_t>(part.Width()) * 3;
        for (int y = part.top; y < part.bottom; ++y) {
            std::copy_n(surface.Row(y) + offset, bytes, staged.surface.Row(y) + offset);
        }
        staged.dirty = Bounding(staged.dirty, part);
    }
    if (staged.queued || staged.dirty.IsEmpty()) {
        return;
    }
    // One flush in the queue however many frames arrive before it runs.
    staged.queued = true;
    const bool idle = queue_.empty();
    queue_.push_back([this, window] { Flush(window); });
    if (idle) {
        SDL_Event wake{};
        wake.type = wake_event_;
        SDL_PushEvent(&wake);
    }
}

void SdlDisplay::Loop::Flush(WindowHandle window) {
    auto found = windows_.find(window);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto staged = staged_.find(window);
        if (staged == staged_.end()) {
            return;
        }
        staged->second.queued = false;
        if (found == windows_.end()) {
            return;  // kept until the window is shown
        }
        found->second->Upload(staged->second.surface, staged->second.dirty);
        staged->second.dirty = gfx::Rect{};
    }
    if (auto awaiting = awaiting_.find(window); awaiting != awaiting_.end()) {
        const Awaiting wanted = awaiting->second;
        awaiting_.erase(awaiting);
        Appear(window, wanted.state, wanted.topmost);
    }
    found->second->Render();
    if (!exit_hook_after_driver_) {
        // The GL driver is loaded and has compiled its first shaders by now,
        // and registered its own finalisers: ours must run before them.
        exit_hook_after_driver_ = true;
        std::atexit(StopLiveLoopAtExit);
    }
}

void SdlDisplay::Loop::ShowOverdue() {
    const Uint32 now = SDL_GetTicks();
    std::vector<std::pair<WindowHandle, Awaiting>> due;
    for (const auto& [window, awaiting] : awaiting_) {
        if (now - awaiting.since >= kFirstPictureWaitMs) {
            due.emplace_back(window, awaiting);
        }
    }
    for (const auto& [window, awaiting] : due) {
        awaiting_.erase(window);
        Appear(window, awaiting.state, awaiting.topmost);
    }
}

void SdlDisplay::Loop::Show(WindowHandle window, const gfx::Rect& rect, ShowState state,
                            bool topmost) {
    auto found = windows_.find(window);
    if (found == windows_.end()) {
        std::optional<gfx::Region> shape;
        if (auto early = early_shapes_.find(window); early != early_shapes_.end()) {
            shape = early->second;
            early_shapes_.erase(early);
        }
        std::unique_ptr<SdlWindow> created = SdlWindow::Create(rect, shape);
        if (!created) {
            std::fprintf(stderr, "sdl display: window %u: %s\n", window, SDL_GetError());
            return;
        }
        by_native_[created->NativeId()] = window;
        found = windows_.emplace(window, std::move(created)).first;
        bool pictured = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (auto staged = staged_.find(window); staged != staged_.end()) {
                found->second->Upload(staged->second.surface, staged->second.surface.Bounds());
                staged->second.dirty = gfx::Rect{};
                pictured = true;
            }
        }
        if (!pictured && state != ShowState::kHidden) {
            awaiting_[window] = Awaiting{state, topmost, SDL_GetTicks()};
            found->second->SetTopmost(topmost);
            return;
        }
    } else if (found->second->ScreenRect() != rect) {
        Move(window, rect);
    }
    if (auto awaiting = awaiting_.find(window); awaiting != awaiting_.end()) {
        awaiting->second.state = state;
        awaiting->second.topmost = topmost;
        found->second->SetTopmost(topmost);
        return;
    }
    Appear(window, state, topmost);
}

void SdlDisplay::Loop::Appear(WindowHandle window, ShowState state, bool topmost) {
    auto found = windows_.find(window);
    if (found == windows_.end()) {
        return;
    }
    SdlWindow& native = *found->second;
    const bool appears = native.State() != ShowState::kNormal && state == ShowState::kNormal;
    native.SetState(state, topmost);
    if (appears) {
        stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), window), stacking_.end());
        stacking_.push_back(window);
        KeepTopmostOnTop();
    }
}

void SdlDisplay::Loop::Move(WindowHandle window, const gfx::Rect& rect) {
    auto found = windows_.find(window);
    if (found == windows_.end()) {
        return;  // its first show brings the rectangle
    }
    const std::uint32_t before = found->second->NativeId();
    if (!found->second->Move(rect)) {
        std::fprintf(stderr, "sdl display: window %u: %s\n", window, SDL_GetError());
    }
    Renumber(window, before);
    {
        // A new size needs the whole surface again; the layer repaints it.
        std::lock_guard<std::mutex> lock(mutex_);
        if (auto staged = staged_.find(window); staged != staged_.end()) {
            found->second->Upload(staged->second.surface, staged->second.surface.Bounds());
        }
    }
    found->second->Render();
}

void SdlDisplay::Loop::Shape(WindowHandle window, const std::optional<gfx::Region>& shape) {
    auto found = windows_.find(window);
    if (found == windows_.end()) {
        early_shapes_[window] = shape;
        return;
    }
    const std::uint32_t before = found->second->NativeId();
    if (!found->second->SetShape(shape)) {
        std::fprintf(stderr, "sdl display: shape of window %u: %s\n", window, SDL_GetError());
    }
    Renumber(window, before);
    found->second->Render();
}

void SdlDisplay::Loop::Renumber(WindowHandle window, std::uint32_t before) {
    auto found = windows_.find(window);
    if (found == windows_.end()) {
        return;
    }
    const std::uint32_t now = found->second->NativeId();
    if (now != before) {
        by_native_.erase(before);
        by_native_[now] = window;
        KeepTopmostOnTop();
    }
}

void SdlDisplay::Loop::RaiseWindow(WindowHandle window, bool topmost) {
    auto found = windows_.find(window);
    if (found == windows_.end()) {
        return;
    }
    found->second->SetTopmost(topmost);
    found->second->RaiseNative();
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), window), stacking_.end());
    stacking_.push_back(window);
    KeepTopmostOnTop();
}

// Without a window manager nobody keeps always-on-top windows above the
// rest, so we restack them after every raise.
void SdlDisplay::Loop::KeepTopmostOnTop() {
    for (WindowHandle window : stacking_) {
        auto found = windows_.find(window);
        if (found != windows_.end() && found->second->Topmost() &&
            found->second->State() == ShowState::kNormal) {
            found->second->RaiseNative();
        }
    }
}

void SdlDisplay::Loop::Grab(WindowHandle window) {
    if (window == grab_window_) {
        return;
    }
    grab_.Release();
    grab_window_ = window;
    grab_native_ = 0;
    KeepGrab();
}

bool SdlDisplay::Loop::GrabPending() const {
    return grab_window_ != 0 && !grab_.Held();
}

void SdlDisplay::Loop::KeepGrab() {
    if (grab_window_ == 0) {
        return;
    }
    auto found = windows_.find(grab_window_);
    if (found == windows_.end() || found->second->State() != ShowState::kNormal ||
        awaiting_.count(grab_window_) != 0) {
        grab_.Release();
        return;
    }
    const std::uint32_t native = found->second->NativeId();
    if (!grab_.Held() || native != grab_native_) {
        grab_native_ = native;
        grab_.Take(found->second->Native());
    }
}

void SdlDisplay::Loop::Destroy(WindowHandle window) {
    if (window == grab_window_) {
        Grab(0);
    }
    if (auto found = windows_.find(window); found != windows_.end()) {
        by_native_.erase(found->second->NativeId());
        windows_.erase(found);
    }
    early_shapes_.erase(window);
    awaiting_.erase(window);
    stacking_.erase(std::remove(stacking_.begin(), stacking_.end(), window), stacking_.end());
    std::lock_guard<std::mutex> lock(mutex_);
    staged_.erase(window);
}

ScreenInfo SdlDisplay::Loop::ReadScreen() const {
    SDL_Rect bounds{};
    SDL_Rect usable{};
    if (SDL_GetDisplayBounds(0, &bounds) != 0) {
        return ScreenInfo{};
    }
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        usable = bounds;
    }
    return ScreenFromBounds(gfx::Rect::FromSize(bounds.x, bounds.y, bounds.w, bounds.h),
                            gfx::Rect::FromSize(usable.x, usable.y, usable.w, usable.h));
}

gfx::Point SdlDisplay::Loop::ReadCursor() const {
    gfx::Point p;
    SDL_GetGlobalMouseState(&p.x, &p.y);
    return p;
}

WindowHandle SdlDisplay::Loop::HandleOf(std::uint32_t native_id) const {
    auto found = by_native_.find(native_id);
    return found != by_native_.end() ? found->second : 0;
}

void SdlDisplay::Loop::Deliver(RawInput input, std::uint32_t native_id, int x, int y,
                               bool located) {
    input.window = HandleOf(native_id);
    if (located) {
        gfx::Point origin;
        if (auto found = windows_.find(input.window); found != windows_.end()) {
            origin = found->second->Position();
        }
        input.screen_point = {origin.x + x, origin.y + y};
    } else {
        input.screen_point = ReadCursor();
    }
    DeliverRawInput(input);
}

void SdlDisplay::Loop::Handle(const SDL_Event& event) {
    using Kind = RawInput::Kind;
    RawInput input;
    switch (event.type) {
        case SDL_MOUSEMOTION:
            input.kind = Kind::kMouseMove;
            Deliver(input, event.motion.windowID, event.motion.x, event.motion.y, true);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT) {
                break;
            }
            input.kind = event.type == SDL_MOUSEBUTTONDOWN ? Kind::kButtonDown : Kind::kButtonUp;
            input.right_button = event.button.button == SDL_BUTTON_RIGHT;
            Deliver(input, event.button.windowID, event.button.x, event.button.y, true);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const std::optional<std::uint32_t> key = VirtualKeyOf(event.key.keysym.sym);
            if (!key) {
                break;
            }
            input.kind = event.type == SDL_KEYDOWN ? Kind::kKeyDown : Kind::kKeyUp;
            input.key = *key;
            Deliver(input, event.key.windowID, 0, 0, false);
            if (event.type == SDL_KEYDOWN && ControlCharacterOf(*key) != 0) {
                input.kind = Kind::kChar;
                input.key = ControlCharacterOf(*key);
                Deliver(input, event.key.windowID, 0, 0, false);
            }
            break;
        }
        case SDL_TEXTINPUT:
            input.kind = Kind::kChar;
            for (char16_t unit : Utf8ToUtf16(event.text.text)) {
                input.key = unit;
                Deliver(input, event.text.windowID, 0, 0, false);
            }
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                input.kind = Kind::kCloseRequest;
                Deliver(input, event.window.windowID, 0, 0, false);
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SHOWN) {
                if (auto found = windows_.find(HandleOf(event.window.windowID));
                    found != windows_.end()) {
                    found->second->Render();
                }
            }
            break;
        default:
            break;  // SDL_QUIT among them: closing is each window's request
    }
}

// The backend.

std::unique_ptr<DisplayBackend> CreateSdlDisplay() {
    auto display = std::make_unique<SdlDisplay>();
    if (!display->Started()) {
        return nullptr;
    }
    return display;
}

SdlDisplay::SdlDisplay() : loop_(std::make_unique<Loop>()) {
    if (!loop_->Start()) {
        loop_.reset();
    }
}

SdlDisplay::~SdlDisplay() {
    if (loop_) {
        loop_->Stop();
    }
}

bool SdlDisplay::Started() const {
    return loop_ != nullptr;
}

std::string SdlDisplay::Name() const {
    return "sdl";
}

ScreenInfo SdlDisplay::Screen() const {
    if (!loop_) {
        return ScreenInfo{};
    }
    Loop* loop = loop_.get();
    return loop->Query<ScreenInfo>([loop] { return loop->ReadScreen(); }, ScreenInfo{});
}

void SdlDisplay::ShowWindow(WindowHandle window, const gfx::Rect& screen_rect, ShowState state,
                            bool topmost) {
    if (loop_) {
        Loop* loop = loop_.get();
        loop->Post([=] { loop->Show(window, screen_rect, state, topmost); });
    }
}

void SdlDisplay::MoveWindow(WindowHandle window, const gfx::Rect& screen_rect) {
    if (loop_) {
        Loop* loop = loop_.get();
        loop->Post([=] { loop->Move(window, screen_rect); });
    }
}

void SdlDisplay::SetShape(WindowHandle window, const std::optional<gfx::Region>& shape) {
    if (loop_) {
        Loop* loop = loop_.get();
        loop->Post([=] { loop->Shape(window, shape); });
    }
}

void SdlDisplay::Raise(WindowHandle window, bool topmost) {
    if (loop_) {
        Loop* loop = loop_.get();
        loop->Post([=] { loop->RaiseWindow(window, topmost); });
    }
}

void SdlDisplay::GrabPointer(WindowHandle window) {
    if (loop_) {
        Loop* loop = loop_.get();
        loop->Post([=] { loop->Grab(window); });
    }
}

void SdlDisplay::DestroyWindow(WindowHandle window) {
    if (loop_) {
        Loop* loop = loop_.get();
        loop->Post([=] { loop->Destroy(window); });
    }
}

void SdlDisplay::Present(WindowHandle window, const gfx::Bitmap& surface, const gfx::Rect& dirty) {
    if (loop_) {
        loop_->Stage(window, surface, dirty);
    }
}

bool SdlDisplay::AddTrayIcon(const TrayIcon& icon) {
    return loop_ && loop_->tray()->Add(icon);
}

bool SdlDisplay::ModifyTrayIcon(const TrayIcon& icon) {
    return loop_ && loop_->tray()->Modify(icon);
}

bool SdlDisplay::RemoveTrayIcon(WindowHandle owner, std::uint32_t id) {
    return loop_ && loop_->tray()->Remove(owner, id);
}

gfx::Point SdlDisplay::CursorPosition() const {
    if (!loop_) {
        return {};
    }
    Loop* loop = loop_.get();
    return loop->Query<gfx::Point>([loop] { return loop->ReadCursor(); }, gfx::Point{});
}

void SdlDisplay::PumpEvents(std::uint32_t /*timeout_ms*/) {
    // Native events arrive on the backend's own thread.
}

bool SdlDisplay::NeedsPumping() const {
    return false;
}

}  // namespace platform::display::sdl
