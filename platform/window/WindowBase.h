// The C++ object of a window. An object is bound to one window at a time,
// either by creating it (Create: the object sees every message from
// kMsgCreate on) or by subclassing a window that exists (a control made from a
// dialog template). The binding lives in a table of the framework, keyed by
// handle; the window's user data stays free for other code.
//
// Messages reach WindowProc, which looks them up in the class's message map
// (MessageMap.h), then its base classes' maps, and else passes them to the
// procedure beneath: the built-in behaviour of the window's class, or the
// procedure the window had before it was subclassed. Handlers get the same
// with DefaultProcessing().
//
// Framework defaults (in WindowBase's own map, so a class's own entry
// replaces them and may call them back):
// - kMsgDrawItem is reflected to the control object's DrawItem;
// - kMsgContextMenu over a window with kStyleSysMenu shows its system menu;
// - kMsgSysCommand: close sends kMsgClose, minimise and restore show the
//   window so.
//
// PreTranslateMessage: the framework's loops (RunWindowMessageLoop, modal
// dialogs, menus) offer every message they take out of the queue to the
// objects of its window and of each ancestor up to the top-level window,
// innermost first; one answering true swallows the message.
//
// Thread rules: an object is used on its window's thread. FromHandle and the
// read-only queries may come from any thread. Destroying the object destroys
// a window it is still bound to (on the window's thread).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Region.h"
#include "platform/window/ControlMessages.h"
#include "platform/window/Message.h"
#include "platform/window/MessageIds.h"
#include "platform/window/MessageMap.h"
#include "platform/window/WindowUi.h"

namespace platform {

class Menu;

class WindowBase {
  public:
    WindowBase();
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // The object bound to the window, or nullptr. Any thread.
    static WindowBase* FromHandle(WindowHandle window);

    WindowHandle Handle() const { return handle_; }
    bool HasWindow() const { return handle_ != 0 && IsWindowHandle(handle_); }

    // Creates a window bound to this object; an empty class name gives the
    // framework's plain window class. PreSubclassWindow runs before kMsgCreate
    // is handled. False if the object already has a window or creation fails.
    bool Create(const WindowCreation& creation);
    // A child control of a built-in class: the way each control creates itself.
    bool CreateChild(std::u16string_view class_name, std::u16string_view text, std::uint32_t style,
                     const gfx::Rect& rect, WindowHandle parent, int id);
    // Binds an existing window of the calling thread to this object, after
    // PreSubclassWindow; its previous procedure becomes the one beneath.
    bool SubclassWindow(WindowHandle window);
    bool SubclassDlgItem(int id, WindowHandle parent);
    // Unbinds without destroying; the window gets its previous procedure back.
    WindowHandle UnsubclassWindow();
    virtual bool DestroyWindow();

    virtual MessageResult WindowProc(std::uint32_t message, MessageParam wParam,
                                     MessageLong lParam);
    virtual bool PreTranslateMessage(Message& message);
    // The object is bound and the window exists; the message procedure is not
    // yet the object's (style changes here take effect before kMsgCreate).
    virtual void PreSubclassWindow();
    // Owner-draw painting, reflected from the parent's kMsgDrawItem.
    virtual void DrawItem(const DrawItemInfo& info);
    // The window is gone (after its kMsgDestroy); the object is unbound. An
    // object that owns itself may delete itself here.
    virtual void OnWindowGone();

    // Conveniences over WindowUi.h for the bound window.
    bool Show(int show_command);
    bool MoveTo(int x, int y, int width, int height, bool repaint = true);
    bool MoveTo(const gfx::Rect& rect, bool repaint = true);
    void Invalidate(bool erase = true);
    void InvalidatePart(const gfx::Rect& rect, bool erase = true);
    void UpdateNow();
    void SetRegion(std::optional<gfx::Region> region, bool redraw = true);
    void SetText(std::u16string_view text);
    std::u16string Text() const;
    WindowHandle GetDlgItem(int id) const;
    MessageResult Send(std::uint32_t message, MessageParam wParam = 0, MessageLong lParam = 0);
    bool Post(std::uint32_t message, MessageParam wParam = 0, MessageLong lParam = 0);
    bool SetTimer(std::uintptr_t id, std::uint32_t elapse_ms);
    bool KillTimer(std::uintptr_t id);
    gfx::Rect ClientRect() const;
    gfx::Rect ScreenRect() const;
    gfx::Rect Placement() const;  // in the parent's client coordinates
    bool IsVisible() const;
    bool IsEnabled() const;
    bool Enable(bool enable);
    std::uint32_t Style() const;
    std::uint32_t ExStyle() const;
    void ModifyStyle(std::uint32_t remove, std::uint32_t add);
    void ModifyExStyle(std::uint32_t remove, std::uint32_t add);
    int Id() const;
    WindowHandle Parent() const;
    void SetIcon(const gfx::Icon* icon, bool big);  // not owned
    void SetFont(std::shared_ptr<const gfx::Font> font);
    std::shared_ptr<const gfx::Font> GetFont() const;
    // The window's system menu (SystemMenuOf in Menu.h); nullptr without a
    // window or without kStyleSysMenu.
    Menu* GetSystemMenu();

    static const MessageMap* StaticMessageMap();

  protected:
    virtual const MessageMap* GetMessageMap() const;

    // The procedure beneath, with the message being handled / with any.
    MessageResult DefaultProcessing();
    MessageResult CallProcedureBeneath(std::uint32_t message, MessageParam wParam,
                                       MessageLong lParam);
    // The message WindowProc is handling now (innermost call).
    const Message& CurrentMessage() const { return current_; }

    MessageResult OnDrawItem(MessageParam wParam, MessageLong lParam);
    MessageResult OnContextMenu(MessageParam wParam, MessageLong lParam);
    MessageResult OnSysCommand(MessageParam wParam, MessageLong lParam);

  private:
    friend struct WindowBaseAccess;

    WindowHandle handle_ = 0;
    Message current_;
};

// Fonts of windows, as kept by the framework: controls made from a dialog
// template get the dialog's font. nullptr: the system's default. Any thread.
void SetWindowFont(WindowHandle window, std::shared_ptr<const gfx::Font> font);
std::shared_ptr<const gfx::Font> GetWindowFont(WindowHandle window);

// The top-level window of a window (itself if it has no parent). Any thread.
WindowHandle TopLevelOf(WindowHandle window);

// Offers the message to PreTranslateMessage of the objects of its window and
// its ancestors, innermost first; true if one swallowed it.
bool PreTranslateThroughAncestors(Message& message);

// The framework's main loop: GetNextMessage, PreTranslateThroughAncestors,
// dispatch, until kMsgQuit; returns its exit code.
int RunWindowMessageLoop();

// The framework's classes ("Button", "Static", "msctls_progress32", the plain
// window and dialog classes). Idempotent; any thread; done by every creation
// through the framework, needed only by code creating such windows directly.
void RegisterFrameworkClasses();

}  // namespace platform
