#include "platform/win/WindowMessages.h"

namespace win {

namespace {
bool IsUserEventType(std::uint32_t message) {
    return message >= QEvent::User && message <= QEvent::MaxUser;
}
}  // namespace

bool PostMessage(QObject* target, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (!target || !IsUserEventType(message)) return false;
    QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
    return true;
}

LRESULT SendMessage(QObject* target, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (!target || !IsUserEventType(message)) return 0;
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.handled ? event.result : 0;
}

}  // namespace win
