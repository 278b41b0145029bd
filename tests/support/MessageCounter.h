#pragma once
// A window that stands in for another and records the messages it receives.

#include <vector>

#include "platform/win/WindowMessages.h"

class MessageCounter final : public win::CMessageWindow<QObject> {
public:
    std::vector<std::uint32_t> received;
    bool OnWindowMessage(std::uint32_t message, win::WPARAM, win::LPARAM, win::LRESULT*) override {
        received.push_back(message);
        return true;
    }
    int Count(std::uint32_t message) const {
        int n = 0;
        for (auto m : received) n += m == message;
        return n;
    }
};
