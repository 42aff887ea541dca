// Message maps: a static table per window class from a message, or from a
// command id (or id range) with a notification code, to a member function.
// A class's table chains to its base class's table; WindowBase::WindowProc
// searches the most derived table first and the first matching entry wins.
// A message no table names goes to the procedure beneath the object (the
// built-in class, or the procedure the window had before it was subclassed).
//
// In the class:      VELA_DECLARE_MESSAGE_MAP();
// In its source:     VELA_MESSAGE_MAP(MyDialog, DialogWindow,
//                        MapMessage(kMsgPaint, &MyDialog::OnPaint),
//                        MapCommand(kIdOk, &MyDialog::OnOkButton),
//                        MapCommandRange(10001, 10021, kButtonClicked, &MyDialog::OnButton));
//
// Handlers: MessageResult OnX(MessageParam, MessageLong) for messages,
// void OnY(int id) for commands. Tables are built on first use and are
// read-only afterwards; any thread.
#pragma once

#include <cstdint>
#include <span>

#include "platform/window/Message.h"
#include "platform/window/MessageIds.h"

namespace platform {

class WindowBase;

using MessageHandler = MessageResult (WindowBase::*)(MessageParam wParam, MessageLong lParam);
using CommandHandler = void (WindowBase::*)(int id);

struct MessageMapEntry {
    std::uint32_t message = kMsgNull;
    // Command entries (message kMsgCommand): ids first_id..last_id with code.
    bool is_command = false;
    int first_id = 0;
    int last_id = 0;
    std::uint16_t code = 0;
    MessageHandler on_message = nullptr;
    CommandHandler on_command = nullptr;

    bool Matches(std::uint32_t msg, MessageParam wParam) const;
};

struct MessageMap {
    const MessageMap* (*base)() = nullptr;  // nullptr at the root
    std::span<const MessageMapEntry> entries;
};

template <class T>
MessageMapEntry MapMessage(std::uint32_t message,
                           MessageResult (T::*handler)(MessageParam, MessageLong)) {
    MessageMapEntry entry;
    entry.message = message;
    entry.on_message = static_cast<MessageHandler>(handler);
    return entry;
}

template <class T>
MessageMapEntry MapCommandRange(int first_id, int last_id, std::uint16_t code,
                                void (T::*handler)(int)) {
    MessageMapEntry entry;
    entry.message = kMsgCommand;
    entry.is_command = true;
    entry.first_id = first_id;
    entry.last_id = last_id;
    entry.code = code;
    entry.on_command = static_cast<CommandHandler>(handler);
    return entry;
}

// A command from a menu, an accelerator or a button click (code 0).
template <class T>
MessageMapEntry MapCommand(int id, void (T::*handler)(int)) {
    return MapCommandRange(id, id, 0, handler);
}

template <class T>
MessageMapEntry MapNotification(int id, std::uint16_t code, void (T::*handler)(int)) {
    return MapCommandRange(id, id, code, handler);
}

}  // namespace platform

#define VELA_DECLARE_MESSAGE_MAP()                           \
  public:                                                    \
    static const ::platform::MessageMap* StaticMessageMap(); \
                                                             \
  protected:                                                 \
    const ::platform::MessageMap* GetMessageMap() const override

// The entries are a braced list built once; an empty map is allowed.
#define VELA_MESSAGE_MAP(Class, Base, ...)                                                    \
    const ::platform::MessageMap* Class::StaticMessageMap() {                                 \
        static const ::platform::MessageMapEntry kEntries[] = {                               \
            __VA_ARGS__ __VA_OPT__(, )::platform::MessageMapEntry{}};                         \
        static const ::platform::MessageMap kMap{                                             \
            &Base::StaticMessageMap,                                                          \
            std::span<const ::platform::MessageMapEntry>(kEntries, std::size(kEntries) - 1)}; \
        return &kMap;                                                                         \
    }                                                                                         \
    const ::platform::MessageMap* Class::GetMessageMap() const {                              \
        return Class::StaticMessageMap();                                                     \
    }
