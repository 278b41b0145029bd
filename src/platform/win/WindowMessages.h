#pragma once
// The window message layer: windows talk through numbered messages that are delivered by the Qt
// event loop (PostMessage, queued in order with everything else) or at once (SendMessage). A
// window receives them by deriving from CMessageWindow<QtBase> and answering OnWindowMessage,
// usually through a static message map (DispatchMessageMap).

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstddef>
#include <cstdint>

namespace win {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr std::uint32_t WM_USER = 0x400;
// Refresh: the main view updates its tree and redraws; dialogs re-read their values.
constexpr std::uint32_t WM_REFRESH = WM_USER + 100;  // 1124
// The main tree's selection changed; wParam: the tree item.
constexpr std::uint32_t WM_TREE_SELECTION_CHANGED = WM_USER + 101;  // 1125
// Select the tree item in wParam (0 clears the selection) and pass the change on with 1125.
constexpr std::uint32_t WM_SELECT_TREE_ITEM = WM_USER + 102;  // 1126
// Settings changed: the edit view rebuilds its device and viewports, then redraws.
constexpr std::uint32_t WM_SETTINGS_CHANGED = WM_USER + 103;  // 1127

// A window message as a Qt event; its event type is the message number.
class WindowMessageEvent final : public QEvent {
public:
    WindowMessageEvent(std::uint32_t message, WPARAM wParam, LPARAM lParam)
        : QEvent(static_cast<QEvent::Type>(message)), message(message), wParam(wParam), lParam(lParam) {}
    const std::uint32_t message;
    const WPARAM wParam;
    const LPARAM lParam;
    LRESULT result = 0;
    bool handled = false;
};

// What a message-receiving window implements. Returns true when it handled the message.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual bool OnWindowMessage(std::uint32_t message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
};

// Mixes the message layer into a Qt widget or object class.
template <typename QtBase>
class CMessageWindow : public QtBase, public MessageTarget {
public:
    using QtBase::QtBase;

protected:
    bool event(QEvent* e) override {
        if (auto* m = dynamic_cast<WindowMessageEvent*>(e)) {
            m->handled = OnWindowMessage(m->message, m->wParam, m->lParam, &m->result);
            return true;
        }
        return QtBase::event(e);
    }
};

// One row of a message map: message id → member handler.
template <typename T>
struct MessageMapEntry {
    std::uint32_t message;
    LRESULT (T::*handler)(WPARAM, LPARAM);
};

template <typename T, std::size_t N>
bool DispatchMessageMap(T* self, const MessageMapEntry<T> (&map)[N], std::uint32_t message, WPARAM wParam,
                        LPARAM lParam, LRESULT* result) {
    for (const auto& entry : map) {
        if (entry.message == message) {
            *result = (self->*entry.handler)(wParam, lParam);
            return true;
        }
    }
    return false;
}

// Queues the message for `target`; a null target is ignored. Messages must lie in Qt's user event
// range (1000-65535), as every message of the system does.
bool PostMessage(QObject* target, std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);
// Runs the target's handler at once and returns its result (0 for a null target or an unhandled
// message).
LRESULT SendMessage(QObject* target, std::uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace win
